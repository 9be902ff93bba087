#include "app/coursepages.h"
#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/cp1251.h"
#include "stats/statslinks.h"
#include "widgets/messagebox.h"
#include "widgets/navigation.h"
#include "widgets/page.h"
#include "widgets/pagepicture.h"
#include "widgets/settingslinks.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tlevel.h"
#include "widgets/tmycaption.h"
#include "widgets/tnotename.h"
#include "widgets/tstep.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {

const QColor kActive(0x33, 0x33, 0x99);
const QColor kInactive(0xA6, 0xCA, 0xF0);
const QColor kRed(0xFF, 0x00, 0x00);

void ignoreMessage(const QString &) {}

QString entries(const QString &first, const QString &caption, const QList<bool> &active)
{
    QString text = QStringLiteral("[%1]\r\nname=%2\r\n").arg(first, caption);
    for (int k = 1; k <= active.size(); ++k)
        text += QStringLiteral("[e%1]\r\nname=Пункт %1\r\nactive=%2\r\n")
                    .arg(k)
                    .arg(active[k - 1] ? 1 : 0);
    return text;
}

} // namespace

class TestCoursePages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void partPageFromItsButton();
    void levelClicks_data();
    void levelClicks();
    void partWithFirstLevelClosed();
    void emptyListsLeaveOlderLabelsAlone_data();
    void emptyListsLeaveOlderLabelsAlone();
    void levelPageWithNoActiveStep();
    void stepClicks_data();
    void stepClicks();
    void stepListMappings_data();
    void stepListMappings();
    void levelPageResetsExerciseState();
    void activateStepCreatesSectionAndLogs();
    void usedFlagsThroughNavigation();
    void noteClickStartsQuestionnaire();
    void startOpensLevelOne();
    void instructionStartOpensPartOne();

private:
    void write(const QString &relative, const QString &text);
    void writePart(int part, const QList<bool> &active);
    void writeLevel(int level, const QList<bool> &active);
    template <typename T> QList<T *> labels() const;
    PagePicture *pictureAt(QPoint topLeft) const;
    QStringList logLines() const;
    void recordHooks();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TMainForm> m_form;
    QStringList m_calls;
};

void TestCoursePages::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("levels")));
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    const QString arrow = program + QStringLiteral("/pictures/smallarrow.gif");
    QDir(m_dir->path()).mkpath(QStringLiteral("pictures"));
    QFile::copy(arrow, m_dir->filePath(QStringLiteral("pictures/smallarrow.gif")));
    // Not the first run: the start opens level 1, not the instruction.
    write(QStringLiteral("levels/settings.dat"), QStringLiteral("[main]\r\nfirstrun=0\r\n"));
    MessageBox::setHook(&ignoreMessage);
    m_form = std::make_unique<TMainForm>(BasePath(m_dir->path()));
    Wiring::connect(*m_form);
    m_calls.clear();
    recordHooks();
}

void TestCoursePages::cleanup()
{
    m_form.reset();
    MessageBox::setHook(nullptr);
}

void TestCoursePages::write(const QString &relative, const QString &text)
{
    const QString path = m_dir->filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray bytes;
    QVERIFY(Cp1251::encode(text, bytes));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestCoursePages::writePart(int part, const QList<bool> &active)
{
    write(QStringLiteral("levels/part%1.dat").arg(part),
          entries(QStringLiteral("part"), QStringLiteral("Часть %1").arg(part), active));
}

void TestCoursePages::writeLevel(int level, const QList<bool> &active)
{
    write(QStringLiteral("levels/%1/level.dat").arg(level, 2, 10, QLatin1Char('0')),
          entries(QStringLiteral("level"), QStringLiteral("Уровень %1").arg(level), active));
}

template <typename T> QList<T *> TestCoursePages::labels() const
{
    QList<T *> found;
    for (QWidget *w : m_form->page().pageWidgets()) {
        if (auto *label = qobject_cast<T *>(w))
            found.append(label);
    }
    return found;
}

PagePicture *TestCoursePages::pictureAt(QPoint topLeft) const
{
    for (PagePicture *picture : labels<PagePicture>()) {
        if (picture->pos() == topLeft)
            return picture;
    }
    return nullptr;
}

QStringList TestCoursePages::logLines() const
{
    QFile f(m_dir->filePath(QStringLiteral("levels/log.dat")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &record : f.readAll().split('\x0D')) {
        if (!record.isEmpty())
            lines.append(Cp1251::decode(record.mid(record.indexOf(" - ") + 3).chopped(1)));
    }
    return lines;
}

void TestCoursePages::recordHooks()
{
    CoursePages::Hooks &h = m_form->course().hooks();
    auto record = [this](const char *name) {
        return [this, name] { m_calls.append(QLatin1String(name)); };
    };
    h.StartStep1 = [this](int level) { m_calls.append(QStringLiteral("step1 %1").arg(level)); };
    h.StartStep2 = record("step2");
    h.StartStep3 = record("step3");
    h.StartStep4 = record("step4");
    h.StartChordsDrill = record("chords");
    h.StartMelodiesDrill = record("melodies");
    h.StartNotesDrill = record("notes");
    h.ShowReportPage = record("report");
    h.StartQuestionnaire = [this] {
        m_calls.append(QStringLiteral("note %1").arg(m_form->state().QSettings.NoteIndex));
    };
    h.ClearAllKeys = record("clear");
}

void TestCoursePages::partPageFromItsButton()
{
    writePart(1, {true, false, true});
    auto *button = m_form->findChild<QWidget *>(QStringLiteral("btPart1"));
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(labels<TMyCaption>().value(0)->text(), QStringLiteral("Часть 1"));
    const QList<TLevel *> levels = labels<TLevel>();
    QCOMPARE(levels.size(), 3);
    const QList<QColor> colours{kActive, kInactive, kRed};
    for (int k = 1; k <= 3; ++k) {
        TLevel *level = levels[k - 1];
        QCOMPARE(level->pos(), QPoint(148, 24 * k + 8));
        QCOMPARE(level->tag(), 110 + k);
        QCOMPARE(level->text(), QStringLiteral("Пункт %1").arg(k));
        QCOMPARE(level->textColor(), colours[k - 1]);
        QCOMPARE(level->cursor().shape(), k == 2 ? Qt::ArrowCursor : Qt::PointingHandCursor);
    }
    PagePicture *arrow = pictureAt(QPoint(124, 80));
    QVERIFY(arrow);
    QCOMPARE(arrow->tag(), 113);
    QVERIFY(!arrow->pixmap().isNull());
    PagePicture *bear = pictureAt(QPoint(608, 0));
    QVERIFY(bear);
    QCOMPARE(bear->tag(), 6);
    QCOMPARE(bear->size(), QSize(170, 272));
    QCOMPARE(labels<PagePicture>().size(), 2);
    QCOMPARE(m_form->state().Settings.Part, 1);
}

void TestCoursePages::levelClicks_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("opened"); // 0: the click is ignored
    QTest::newRow("blue") << 1 << 1 << 1;
    QTest::newRow("light blue") << 1 << 2 << 0;
    QTest::newRow("red") << 1 << 3 << 3;
    QTest::newRow("part II blue") << 2 << 1 << 10;
    QTest::newRow("part III red") << 3 << 3 << 21;
    QTest::newRow("part IV first") << 4 << 1 << 28;
    QTest::newRow("part IV second") << 4 << 2 << 0;
}

void TestCoursePages::levelClicks()
{
    QFETCH(int, part);
    QFETCH(int, position);
    QFETCH(int, opened);
    writePart(part, {true, false, true});
    if (part == 4)
        writePart(part, {true, true});
    m_form->routes().showPartPage(part);
    m_form->state().Settings.Level = 99;
    const QStringList logBefore = logLines();

    QTest::mouseClick(labels<TLevel>().value(position - 1), Qt::LeftButton);

    if (opened == 0) {
        QCOMPARE(m_form->state().Settings.Level, 99);
        QCOMPARE(logLines(), logBefore);
        QCOMPARE(labels<TLevel>().size(), part == 4 ? 2 : 3);
        return;
    }
    QCOMPARE(m_form->state().Settings.Level, opened);
    QCOMPARE(logLines().last(), QStringLiteral("Загружен уровень %1").arg(opened));
    QVERIFY(labels<TLevel>().isEmpty());
}

void TestCoursePages::partWithFirstLevelClosed()
{
    writePart(2, {false, true, true});
    m_form->routes().showPartPage(2);
    const QList<TLevel *> levels = labels<TLevel>();
    QCOMPARE(levels.size(), 3);
    QCOMPARE(levels[0]->textColor(), kInactive);
    QCOMPARE(levels[1]->textColor(), kActive);
    QCOMPARE(levels[2]->textColor(), kActive);
    QVERIFY(!pictureAt(QPoint(124, 80)));
    QVERIFY(!pictureAt(QPoint(124, 56)));
    QTest::mouseClick(levels[2], Qt::LeftButton);
    QCOMPARE(m_form->state().Settings.Level, 12);
}

void TestCoursePages::emptyListsLeaveOlderLabelsAlone_data()
{
    QTest::addColumn<bool>("missing");
    QTest::newRow("no entries") << false;
    QTest::newRow("no file") << true;
}

void TestCoursePages::emptyListsLeaveOlderLabelsAlone()
{
    QFETCH(bool, missing);
    writePart(1, {true, true});
    writeLevel(5, {true, false});
    m_form->routes().showPartPage(1);
    const QPointer<TLevel> oldLevel = labels<TLevel>().value(0);
    m_form->routes().showLevelPage(5);
    const QPointer<TStep> oldFirst = labels<TStep>().value(0);
    const QPointer<TStep> oldSecond = labels<TStep>().value(1);
    if (!missing)
        write(QStringLiteral("levels/part3.dat"), QStringLiteral("[part]\r\nname=Пусто\r\n"));

    m_form->routes().showPartPage(3);

    // The old widgets live on until the event loop runs, and stay as they were.
    QVERIFY(oldLevel && oldFirst && oldSecond);
    QCOMPARE(oldLevel->textColor(), kActive);
    QCOMPARE(oldFirst->textColor(), kRed);
    QCOMPARE(oldSecond->textColor(), kInactive);
    QCOMPARE(labels<TMyCaption>().value(0)->text(),
             missing ? QStringLiteral("НЕТ НАСТРОЕК") : QStringLiteral("Пусто"));
    QVERIFY(labels<TLevel>().isEmpty());
    QCOMPARE(labels<PagePicture>().size(), 1); // the bear, no arrow
    m_form->state().Settings.Level = 5;
    write(QStringLiteral("levels/05/level.dat"), QStringLiteral("[level]\r\n"));
    m_form->routes().showLevelPage(5);
    QVERIFY(labels<TStep>().isEmpty());
    // No step arrow: the pictures are the statistics and settings links' arrows.
    QList<int> arrows;
    for (const PagePicture *picture : labels<PagePicture>())
        arrows << picture->tag();
    std::sort(arrows.begin(), arrows.end());
    QCOMPARE(arrows, (QList<int>{StatsLinks::FromLevelTag, SettingsLinks::FromLevelTag}));
}

void TestCoursePages::levelPageWithNoActiveStep()
{
    writeLevel(7, {false, false, false, false, false});
    m_form->routes().showLevelPage(7);
    const QList<TStep *> steps = labels<TStep>();
    QCOMPARE(steps.size(), 5);
    QCOMPARE(labels<TMyCaption>().value(0)->text(), QStringLiteral("Уровень 7"));
    QCOMPARE(steps[0]->textColor(), kRed);
    QCOMPARE(steps[0]->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(steps[0]->tag(), 11);
    for (int k = 2; k <= 5; ++k)
        QCOMPARE(steps[k - 1]->textColor(), kInactive);
    QVERIFY(pictureAt(QPoint(124, 32)));
    QCOMPARE(pictureAt(QPoint(124, 32))->tag(), 11);
    QTest::mouseClick(steps[0], Qt::LeftButton);
    QCOMPARE(m_calls, (QStringList{QStringLiteral("clear"), QStringLiteral("step1 7")}));
}

void TestCoursePages::stepClicks_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("call");
    QTest::newRow("blue") << 1 << "step1 2";
    QTest::newRow("red") << 2 << "step2";
    QTest::newRow("light blue") << 3 << "";
}

void TestCoursePages::stepClicks()
{
    QFETCH(int, position);
    QFETCH(QString, call);
    writeLevel(2, {true, true, false});
    m_form->routes().showLevelPage(2);
    QCOMPARE(labels<TStep>().value(1)->textColor(), kRed);
    m_calls.clear();
    m_form->state().Settings.Step = 0;
    m_form->state().Settings.KeyboardShown = true;

    QTest::mouseClick(labels<TStep>().value(position - 1), Qt::LeftButton);

    QCOMPARE(m_calls, call.isEmpty() ? QStringList() : QStringList{call});
    QCOMPARE(m_form->state().Settings.Step, call.isEmpty() ? 0 : position);
    QCOMPARE(m_form->state().Settings.KeyboardShown, call.isEmpty());
}

void TestCoursePages::stepListMappings_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("calls");
    // One hook name per list position; empty where the position opens nothing.
    const auto list = [](const char *names) { return QString::fromLatin1(names).split(u','); };
    QTest::newRow("level 1") << 1 << list("step1 1,step2,step3,step4,report");
    QTest::newRow("level 12") << 12 << list("step3,step4,report,,");
    QTest::newRow("level 4") << 4 << list("chords,melodies,notes,report,");
}

void TestCoursePages::stepListMappings()
{
    QFETCH(int, level);
    QFETCH(QStringList, calls);
    writeLevel(level, {true, true, true, true, true});
    for (int position = 1; position <= 5; ++position) {
        m_form->routes().showLevelPage(level);
        m_calls.clear();
        QTest::mouseClick(labels<TStep>().value(position - 1), Qt::LeftButton);
        const QString expected = calls[position - 1];
        QCOMPARE(m_calls, expected.isEmpty() ? QStringList() : QStringList{expected});
        QCOMPARE(m_form->state().Settings.Step, position);
    }
}

void TestCoursePages::levelPageResetsExerciseState()
{
    TAllowed &allowed = m_form->state().Allowed;
    allowed = TAllowed{};
    allowed.Collecting = true;
    allowed.MarkShown = true;
    m_form->state().QSettings = {7, 7, 7, 7, {}};
    m_form->state().Step3Set = {4, 6, 2, 9, QStringLiteral("151 152"), QStringLiteral("organ")};
    m_form->state().player.useTimbre(QStringLiteral("organ"));
    m_form->state().TimeSet = {3, 2, 5};
    m_form->state().MelodySet = {4, 6, 2, 7, false, true};
    m_form->routes().showLevelPage(3);
    QVERIFY(!allowed.Collecting);
    QCOMPARE(allowed.LowOctave, 4);
    QCOMPARE(allowed.HighOctave, 6);
    QCOMPARE(allowed.LowPitch, 0);
    QCOMPARE(allowed.HighPitch, 11);
    QCOMPARE(allowed.MarkOctave, 5);
    QCOMPARE(allowed.MarkPitch, 0);
    QVERIFY(!allowed.MarkShown);
    QCOMPARE(allowed.AnswerPos, 1);
    QCOMPARE(allowed.AnswerLen, 1);
    QCOMPARE(m_calls, QStringList{QStringLiteral("clear")});
    QCOMPARE(labels<TMyCaption>().value(0)->text(), QStringLiteral("НЕТ НАСТРОЕК"));
    const TQSettings &questions = m_form->state().QSettings;
    QCOMPARE(questions.SectionCount, 1);
    QCOMPARE(questions.NoteIndex, 1);
    QCOMPARE(questions.QuestionLimit, 1);
    QCOMPARE(questions.QuestionNo, 1);
    const TStep3Set &training = m_form->state().Step3Set;
    QCOMPARE(training.NoteCount, 1);
    QCOMPARE(training.RightInRow, 1);
    QCOMPARE(training.Half, 1);
    QCOMPARE(training.LevelNoteCount, 1);
    QCOMPARE(training.QuestionText, QStringLiteral("150"));
    QCOMPARE(training.QuestionTimbre, QString());
    QCOMPARE(m_form->state().player.timbre(), QStringLiteral("piano")); // the chosen one again
    const TTimeSet &memorising = m_form->state().TimeSet;
    QCOMPARE(memorising.Repetition, 1);
    QCOMPARE(memorising.NoteIndex, 1);
    QCOMPARE(memorising.SectionCount, 1);
    const TMelodySet &melodies = m_form->state().MelodySet;
    QCOMPARE(melodies.MelodyIndex, 1);
    QCOMPARE(melodies.Required, 1);
    QCOMPARE(melodies.RightCount, 1);
    QCOMPARE(melodies.MelodyCount, 1);
    QVERIFY(melodies.Counting);
    QVERIFY(!melodies.Retry);

    allowed.Collecting = true;
    m_form->routes().showPartPage(1);
    QVERIFY(!allowed.Collecting);
}

void TestCoursePages::activateStepCreatesSectionAndLogs()
{
    write(QStringLiteral("levels/12/level.dat"),
          QStringLiteral("[level]\r\nname=Двенадцать\r\n[step1]\r\nname=Тренировка\r\nactive=1\r\n"
                         "[step2]\r\nname=Мелодии\r\nactive=0\r\n"));
    m_form->routes().showLevelPage(12);
    Navigation *navigation = m_form->page().navigation();
    QVERIFY(navigation);
    navigation->ActivateStep(3);
    QCOMPARE(logLines().last(), QStringLiteral("Активирован шаг 3 уровня 12"));
    m_form->routes().showLevelPage(12);
    const QList<TStep *> steps = labels<TStep>();
    QCOMPARE(steps.size(), 3);
    QCOMPARE(steps[2]->text(), QStringLiteral("НЕТ НАСТРОЕК"));
    QCOMPARE(steps[2]->textColor(), kRed);
    QCOMPARE(steps[1]->textColor(), kInactive);
}

void TestCoursePages::usedFlagsThroughNavigation()
{
    writeLevel(9, {true, false, false});
    writeLevel(10, {true});
    m_form->routes().showLevelPage(9);
    Navigation *navigation = m_form->page().navigation();
    QVERIFY(!navigation->IsStepUsed(2));
    const int logged = logLines().size();
    navigation->MarkStepUsed(2);
    QVERIFY(navigation->IsStepUsed(2));
    QVERIFY(!navigation->IsStepUsed(1));
    QCOMPARE(logLines().size(), logged);
    m_form->routes().showLevelPage(10);
    QVERIFY(!navigation->IsStepUsed(2));
}

void TestCoursePages::noteClickStartsQuestionnaire()
{
    m_form->page().ClearPage();
    auto *note = new TNoteName(m_form->page(), QStringLiteral("ДО"), 3);
    note->move(148, 56);
    QTest::mouseClick(note, Qt::LeftButton);
    QCOMPARE(m_calls, QStringList{QStringLiteral("note 3")});
}

void TestCoursePages::startOpensLevelOne()
{
    writeLevel(1, {true, true});
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(m_form->state().Settings.Level, 1);
    QCOMPARE(labels<TMyCaption>().value(0)->text(), QStringLiteral("Уровень 1"));
    QCOMPARE(labels<TStep>().value(1)->textColor(), kRed);
    QVERIFY(logLines().contains(QStringLiteral("Загружен уровень 1")));
}

void TestCoursePages::instructionStartOpensPartOne()
{
    writePart(1, {true, true});
    m_form->state().Settings.FirstRun = true;
    m_form->state().Settings.Part = 3;
    m_form->routes().showInstructionPage();
    TArrowLabel *start = nullptr;
    for (TArrowLabel *link : labels<TArrowLabel>()) {
        if (link->text() == QStringLiteral("Начать работу!"))
            start = link;
    }
    QVERIFY(start);
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(m_form->state().Settings.Part, 1);
    QCOMPARE(labels<TMyCaption>().value(0)->text(), QStringLiteral("Часть 1"));
    QCOMPARE(labels<TLevel>().size(), 2);
}

QTEST_MAIN(TestCoursePages)
#include "tst_coursepages.moc"
