#include "course/inifile.h"
#include "course/programclock.h"
#include "steps/notepictureimport.h"
#include "steps/step2.h"
#include "steps/tpicturebutton.h"
#include "widgets/page.h"
#include "widgets/pagepicture.h"
#include "widgets/tyesbutton.h"
#include "windowrig.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <QTimer>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

const QString kHooray = u"Ура! А теперь проверим, как вы на самом деле запомнили ноты ;)"_s;

void writeLevel(WindowRig &rig, int level, int steps, bool step2Used)
{
    QString text = u"[level]\r\nname=Уровень\r\n"_s;
    for (int step = 1; step <= steps; ++step)
        text += u"[step%1]\r\nname=Шаг %1\r\nactive=%2\r\nused=%3\r\n"_s.arg(step)
                    .arg(step <= 2 ? 1 : 0)
                    .arg(step == 1 || (step == 2 && step2Used) ? 1 : 0);
    rig.writeText(u"levels/%1/level.dat"_s.arg(level, 2, 10, QLatin1Char('0')), text);
}

// A PNG of the given width, padded with trailing bytes to the given size.
QByteArray pictureBytes(int width, qint64 size = 0)
{
    QImage image(width, 21, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    if (size > bytes.size())
        bytes.append(QByteArray(size - bytes.size(), '\0'));
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

int repetitionPictureWidth(TMainForm &form)
{
    for (QWidget *w : form.page().pageWidgets()) {
        auto *picture = qobject_cast<PagePicture *>(w);
        if (picture && picture->tag() == 8)
            return picture->pixmap().width();
    }
    return -1;
}

QString firstInstructionLine(WindowRig &rig)
{
    return rig.labelText(55).section(u'\n', 0, 0);
}

} // namespace

class MemoriseTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { NotePictureImport::setChooser({}); }
    void twoNoteLevel();
    void busyDuringPlayback();
    void instructionNamesOctave_data();
    void instructionNamesOctave();
    void savedNoteNumber_data();
    void savedNoteNumber();
    void importPicture_data();
    void importPicture();
};

// Two notes: five repetitions each, a rest after every one but the last, the
// repetition pictures counting down, and at the end level 5 takes three notes
// of level 1 before training opens.
void MemoriseTest::twoNoteLevel()
{
    WindowRig rig({u"01"_s, u"05"_s});
    QString notes = u"[step]\r\nname=s\r\n"_s;
    for (int k = 1; k <= 2; ++k)
        notes +=
            u"[note%1]\r\noct=5\r\nnote=%2\r\npict2=levels\\05\\rep_\r\nv1=лёгкая\r\n"_s.arg(k).arg(
                2 * k - 1);
    rig.writeText(u"levels/05/notes.dat"_s, notes);
    for (int n = 1; n <= 5; ++n)
        writeBytes(rig.path(u"levels/05/rep_%1.gif"_s.arg(n)), pictureBytes(10 * n));
    writeLevel(rig, 5, 5, false);
    rig.openStep(5, 2);
    QVERIFY(rig.clickLink(Step2::ContinueLinkTag));
    QStringList pages;
    QString notenumAfterFifth;
    while (rig.button(Step2::StartTag)) {
        pages.append(firstInstructionLine(rig).section(u' ', 3, 3) + u'/' +
                     QString::number(repetitionPictureWidth(rig.form())));
        if (pages.size() == 6)
            notenumAfterFifth = rig.setting(u"notenum"_s);
        QVERIFY(rig.clickButton(Step2::StartTag));
        QCOMPARE(rig.labelText(320), u" - лёгкая\n - нет данных\n - нет данных\n"_s);
        QTRY_VERIFY_WITH_TIMEOUT(rig.button(Step2::StartTag) || rig.levelPageShown(), 10000);
    }
    QCOMPARE(pages, (QStringList{u"ДО#/50"_s, u"ДО#/40"_s, u"ДО#/30"_s, u"ДО#/20"_s, u"ДО#/10"_s,
                                 u"РЕ#/50"_s, u"РЕ#/40"_s, u"РЕ#/30"_s, u"РЕ#/20"_s, u"РЕ#/10"_s}));
    QCOMPARE(notenumAfterFifth, u"2"_s);
    QCOMPARE(rig.logLines().filter(u"Запоминаем ноты )"_s).size(), 10);
    QCOMPARE(rig.logLines().filter(u"relax 2"_s).size(), 9);
    QCOMPARE(WindowRig::messages(), QStringList{kHooray});
    QVERIFY(rig.levelPageShown());
    QVERIFY(rig.stepFlag(5, 3, "active"));
    QCOMPARE(rig.noteValue(5, 3, u"note"_s), u"0"_s);
    QCOMPARE(rig.noteValue(5, 4, u"note"_s), u"4"_s);
    QCOMPARE(rig.noteValue(5, 5, u"note"_s), u"7"_s);
    QCOMPARE(rig.noteValue(5, 6, u"note"_s), u"<none>"_s);
}

void MemoriseTest::busyDuringPlayback()
{
    WindowRig rig({u"01"_s});
    writeLevel(rig, 1, 5, true);
    ProgramClock::setScale(0.01); // one repetition lasts about a second
    rig.openStep(1, 2);
    QWidget *menu = rig.form().findChild<QWidget *>(u"btPart1"_s);
    QVERIFY(menu && menu->isEnabled());
    // The playback runs inside the click's event loop: look in from a timer.
    bool busy = false;
    bool menuOff = false;
    QTimer::singleShot(300, &rig.form(), [&] {
        busy = rig.state().Settings.Busy;
        menuOff = !menu->isEnabled();
    });
    QVERIFY(rig.clickButton(Step2::StartTag));
    QTRY_VERIFY_WITH_TIMEOUT(rig.state().Resting, 5000);
    QVERIFY(busy);
    QVERIFY(menuOff);
    QVERIFY(!rig.state().Settings.Busy);
    QVERIFY(menu->isEnabled());
    QVERIFY(rig.state().Resting);
    QCOMPARE(rig.state().TimeSet.Repetition, 2);
}

void MemoriseTest::instructionNamesOctave_data()
{
    QTest::addColumn<int>("octave");
    QTest::addColumn<QString>("line");
    QTest::newRow("small") << 4 << u"Работаем с нотой СОЛЬ малой октавы."_s;
    QTest::newRow("first") << 5 << u"Работаем с нотой СОЛЬ первой октавы."_s;
    QTest::newRow("second") << 6 << u"Работаем с нотой СОЛЬ второй октавы."_s;
    QTest::newRow("other") << 7 << u"Работаем с нотой СОЛЬ  октавы."_s;
}

void MemoriseTest::instructionNamesOctave()
{
    QFETCH(int, octave);
    QFETCH(QString, line);
    WindowRig rig({u"01"_s});
    rig.writeText(u"levels/01/notes.dat"_s,
                  u"[step]\r\nname=s\r\n[note1]\r\noct=%1\r\nnote=7\r\n"_s.arg(octave));
    writeLevel(rig, 1, 5, true);
    rig.openStep(1, 2);
    const QStringList lines = rig.labelText(55).split(u'\n');
    QCOMPARE(lines.value(0), line);
    QCOMPARE(lines.size(), 11);
    QVERIFY(lines[1].isEmpty());
    QCOMPARE(lines[10], u"И слушайте её эти несколько минут, ничего не делая с программой."_s);
}

void MemoriseTest::savedNoteNumber_data()
{
    QTest::addColumn<int>("saved");
    QTest::addColumn<QString>("line");
    QTest::newRow("inside") << 3 << u"Работаем с нотой СОЛЬ первой октавы."_s;
    QTest::newRow("beyond") << 5 << u"Работаем с нотой ДО первой октавы."_s;
    QTest::newRow("zero") << 0 << u"Работаем с нотой ДО первой октавы."_s;
}

// A note number left by another level starts this one at its first note.
void MemoriseTest::savedNoteNumber()
{
    QFETCH(int, saved);
    QFETCH(QString, line);
    WindowRig rig({u"01"_s});
    rig.writeText(u"levels/settings.dat"_s, u"[main]\r\nfirstrun=0\r\nnotenum=%1\r\n"_s.arg(saved));
    writeLevel(rig, 1, 5, true);
    rig.openStep(1, 2);
    QCOMPARE(firstInstructionLine(rig), line);
    QCOMPARE(repetitionPictureWidth(rig.form()) > 0, true);
    QCOMPARE(rig.state().TimeSet.Repetition, 1);
}

void MemoriseTest::importPicture_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: the dialog is cancelled
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("name");   // of the chosen file, in the program folder
    QTest::addColumn<QString>("logged"); // that name as the log shows it
    const QStringList refused{u"Неправильный рисунок"_s};
    const QString mine = u"mine.png"_s;
    QTest::newRow("too large") << pictureBytes(37, 600001) << false << refused << mine << mine;
    QTest::newRow("largest allowed")
        << pictureBytes(37, 600000) << true << QStringList() << mine << mine;
    QTest::newRow("small") << pictureBytes(37) << true << QStringList() << mine << mine;
    QTest::newRow("not a picture") << QByteArray("just text") << false << refused << mine << mine;
    QTest::newRow("cancelled") << QByteArray() << false << QStringList() << mine << mine;
    // Names the log's code page cannot hold: the picture is saved all the same.
    QTest::newRow("accented name")
        << pictureBytes(37) << true << QStringList() << u"café.png"_s << u"caf?.png"_s;
    QTest::newRow("folder in another script")
        << pictureBytes(37) << true << QStringList() << u"写真/Ёж 𝄞.png"_s << u"\?\?/Ёж ?.png"_s;
}

void MemoriseTest::importPicture()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, saved);
    QFETCH(QStringList, messages);
    QFETCH(QString, name);
    QFETCH(QString, logged);
    WindowRig rig({u"01"_s});
    writeLevel(rig, 1, 5, true);
    const QString target = rig.path(u"levels/01/ДО.bmp"_s);
    QFile::remove(target);
    const QString source = rig.path(name);
    QVERIFY(QDir().mkpath(QFileInfo(source).path()));
    if (!bytes.isEmpty())
        writeBytes(source, bytes);
    NotePictureImport::setChooser([&](QWidget *) { return bytes.isEmpty() ? QString() : source; });
    rig.openStep(1, 2);
    auto *import = rig.form().findChild<TPictureButton *>();
    QVERIFY(import && import->isVisible());
    QTest::mouseClick(import, Qt::LeftButton);
    QCOMPARE(WindowRig::messages(), messages);
    QCOMPARE(QFile::exists(target), saved);
    QCOMPARE(rig.logLines().filter(u"Загружена картинка "_s + rig.path(logged)).size(),
             saved ? 1 : 0);
    QCOMPARE(rig.logLines().filter(u"Картинка ноты сохранена в "_s).size(), saved ? 1 : 0);
    QVERIFY(rig.button(Step2::StartTag)->isEnabled());
    if (!saved)
        return;
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    QCOMPARE(QImage(target).size(), QSize(37, 21));
}

QTEST_MAIN(MemoriseTest)
#include "tst_memorise.moc"
