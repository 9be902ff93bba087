#include "learnertest.h"

#include "course/cp1251.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "expectedlog.h"
#include "steps/melodypages.h"
#include "steps/trainingpages.h"
#include "widgets/tarrowlabel.h"

#include <QDir>
#include <QRegularExpression>

namespace nk::test {

using namespace Qt::StringLiterals;

namespace {

QString levelProblem(const WindowRig &rig, int level)
{
    const IniFile steps(rig.levelFile(level, u"level.dat"_s));
    const QStringList sections = steps.sections();
    for (qsizetype k = 1; k < sections.size(); ++k) {
        if (steps.readBool(sections[k], u"used", false) ||
            steps.readBool(sections[k], u"active", false) != (k == 1))
            return rig.levelFile(level, u"level.dat holds progress"_s);
    }
    const IniFile notes(rig.levelFile(level, u"notes.dat"_s));
    static const QRegularExpression answer(u"^[av]\\d+$"_s);
    for (const QString &section : notes.sections()) {
        for (const QString &key : notes.keys(section)) {
            if (answer.match(key).hasMatch())
                return rig.levelFile(level, u"notes.dat holds answers"_s);
        }
    }
    return {};
}

// Empty when the program folder is what a new learner gets, else why not.
QString freshnessProblem(const WindowRig &rig)
{
    if (!rig.ready() || !QFile::exists(rig.path(u"levels/part1.dat"_s)))
        return u"no course in "_s + qEnvironmentVariable("NK_PROGRAM_DIR");
    for (const QString &file : {u"levels/settings.dat"_s, u"levels/log.dat"_s}) {
        if (QFile::exists(rig.path(file)))
            return file + u" exists"_s;
    }
    for (int level = 1; level <= Levels::Count; ++level) {
        const QString problem = levelProblem(rig, level);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace

void LearnerTest::prepare()
{
    const QString problem = freshnessProblem(m_rig);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(m_sink.listen());
    m_rig.writeSetting("site", m_sink.site().toString()); // the maker's site of this course
    QVERIFY(m_book.askedQuestions().size() >= 3);
}

// Every step starts the program anew, on level 1's page.
void LearnerTest::restart()
{
    if (!m_rig.running()) // an earlier test stopped half-way
        m_rig.start();
    QVERIFY(m_rig.quit());
    QCOMPARE(m_rig.newLog(), QStringList{ExpectedLog::closed()});
    m_rig.start();
    QCOMPARE(m_rig.newLog(), ExpectedLog::started(false));
    QVERIFY(m_rig.levelPageShown());
}

void LearnerTest::openLevel(const char *partButton, int position, int level)
{
    QVERIFY(m_rig.clickMenu(partButton));
    QVERIFY(m_rig.clickEntry(position));
    QCOMPARE(m_rig.newLog(), QStringList{ExpectedLog::levelLoaded(level)});
    QCOMPARE(m_rig.state().Settings.Level, level);
}

void LearnerTest::wrongTrainingAnswer(int level)
{
    NK_DO(m_learner.answerTraining(level, false));
    const QList<BookNote> asked = m_learner.heard();
    const bool one = asked.size() == 1;
    QCOMPARE(m_rig.labelText(50),
             (one ? u"Неправильно. Это была нота "_s : u"Неправильно. Это были ноты "_s) +
                 CourseBook::names(asked));
    QVERIFY(!m_rig.form().findChild<QWidget *>(u"btPart1"_s)->isEnabled());
    QVERIFY(m_rig.clickLink(TrainingPages::CompareLinkTag));
    QVERIFY(QTest::qWaitFor([&] { return m_rig.button(TrainingPages::ListenTag); }, 20000));
    QVERIFY(!m_rig.state().Settings.Busy);
    QVERIFY(m_rig.form().findChild<QWidget *>(u"btPart1"_s)->isEnabled());
    // Every note was named wrongly: one comparison each.
    const QStringList messages =
        QStringList(asked.size() - 1, u"А теперь послушайте и сравните следующую пару нот."_s)
        << u"Надеюсь, вы запомнили разницу между этими нотами. Иначе придётся повторить ;)"_s;
    QCOMPARE(m_rig.takeMessages(), messages);
    QVERIFY(m_rig.clickButton(TrainingPages::ListenTag));
    QCOMPARE(m_learner.heard(), asked);
    QCOMPARE(m_rig.newLog(), ExpectedLog::trainingWrong(int(asked.size())));
}

// The level's notes with the characteristics the level's file holds for
// them, on the levels below 9 only.
QString LearnerTest::noteList(int level) const
{
    if (level >= 9)
        return {};
    QString list;
    const QList<BookNote> notes = m_book.notes(level);
    for (int k = 1; k <= notes.size(); ++k) {
        list += CourseBook::pitchName(notes[k - 1].pitch) + u" - "_s;
        for (const QString &key : {u"v1"_s, u"v2"_s, u"v3"_s}) {
            const QString value = m_rig.noteValue(level, k, key);
            list += (value == u"<none>"_s ? u"нет данных"_s : value) +
                    (key == u"v3"_s ? u"\n"_s : u", "_s);
        }
    }
    return list;
}

void LearnerTest::trainStep(int level, int entry)
{
    // The stage is kept for all levels, and only learning a level's notes
    // starts it again from one note.
    const int stage = m_rig.setting("notecount").toInt();
    QVERIFY(m_rig.clickEntry(entry));
    QCOMPARE(m_rig.caption(), u"ШАГ 3. Тренировка"_s);
    QVERIFY(m_rig.clickLink(TrainingPages::ContinueLinkTag));
    QVERIFY(m_rig.stepFlag(level, entry, "used"));
    QCOMPARE(m_rig.labelText(208), noteList(level));
    // A wrong answer first: the comparison, then the same question again.
    NK_DO(wrongTrainingAnswer(level));
    QCOMPARE(m_learner.heard().size(), qMax(stage, 1));
    NK_DO(m_learner.train(level, [&] { return m_rig.setting("notecount").toInt() != stage; }));
    QStringList expected = ExpectedLog::trainingHalves(2);
    if (stage >= 4) {
        expected += ExpectedLog::stepDone(entry + 1, level);
        QCOMPARE(m_rig.takeMessages(), QStringList{u"А теперь можно переходить и к мелодиям :)"_s});
    }
    QCOMPARE(m_rig.newLog(), expected);
}

void LearnerTest::pickMelodies(int level, int entry, int melodyStep)
{
    QVERIFY(m_rig.clickEntry(entry));
    QCOMPARE(m_rig.caption(), u"ШАГ 4. Мелодии"_s);
    QVERIFY(m_rig.clickLink(MelodyPages::ContinueLinkTag));
    QVERIFY(m_rig.stepFlag(level, melodyStep, "used"));
    QStringList expected;
    for (int number = 1; number <= 3; ++number) {
        NK_DO(m_learner.playMelody(level, number, true));
        QVERIFY(m_rig.clickLink(MelodyPages::NextLinkTag));
        expected << ExpectedLog::melodyRight();
    }
    QVERIFY(m_rig.button(MelodyPages::MoreTag)); // passed
    QString names;
    for (const BookNote &note : m_book.notes(level))
        names += CourseBook::pitchName(note.pitch) + u", "_s;
    names.chop(2);
    QVERIFY(m_rig.labelText(40).startsWith(u"Отлично. Вы делаете успехи. Ноты "_s + names +
                                           u" можно\n"_s));
    QVERIFY(m_rig.clickLink(MelodyPages::ReturnLinkTag));
    expected << ExpectedLog::stepActivated(melodyStep + 1, level)
             << ExpectedLog::levelLoaded(level);
    QCOMPARE(m_rig.newLog(), expected);
    QCOMPARE(m_rig.currentEntry(), entry + 1);
}

void LearnerTest::sendReport(int level, int entry)
{
    QVERIFY(m_rig.clickEntry(entry));
    QCOMPARE(m_rig.caption(), u"Отчёт"_s);
    QVERIFY(m_rig.clickButton(37)); // nothing filled in yet
    QCOMPARE(m_rig.takeMessages(), QStringList{u"Заполните все поля!!!"_s});
    QCOMPARE(m_rig.newLog(),
             (QStringList{u"Показана форма отчёта"_s, u"Попытка отправить пустой отчёт"_s}));
    QStringList answers;
    NK_DO(m_learner.fillReport(level, answers));
    const qsizetype requests = m_sink.requests.size();
    QVERIFY(m_rig.clickButton(37));
    const QString stamp = u"08.12.2026_7.29.26"_s;
    QCOMPARE(m_rig.newLog(), ExpectedLog::reportSent(answers, stamp));
    QCOMPARE(m_rig.caption(), u"Отчёт отправлен"_s);
    QCOMPARE(m_sink.requests.size(), requests + 1);
    const ReportSink::Request &sent = m_sink.requests.last();
    QVERIFY(sent.head.startsWith("POST /upreport.php "));
    QVERIFY(sent.body.contains("_log.dat\"\r\nContent-Type: text/html\r\n"));
    // The copy sent is the log up to the record of its own sending.
    const QByteArray log = m_rig.logBytes();
    QByteArray sending;
    QVERIFY(Cp1251::encode(u"Отправляем отчёт..."_s, sending));
    QVERIFY(log.startsWith(sent.fileContent()));
    QVERIFY(sent.fileContent().endsWith(QByteArray(" - " + sending + "\x0A\x0D")));
    QVERIFY(QDir(m_rig.path(u"levels"_s)).entryList({u"DEMO_*"_s}).isEmpty());
    QVERIFY(m_rig.clickLink(21));
    const QString site = m_sink.site().toString() + u"/?id=demo"_s;
    QCOMPARE(m_rig.openedUrls().value(m_rig.openedUrls().size() - 1), QUrl(site));
    QCOMPARE(m_rig.newLog(), (QStringList{u"Открытие сайта "_s + site, u"Конец )"_s}));
}

void LearnerTest::trainWholeStep(int level, int entry)
{
    const int stage = m_rig.setting("notecount").toInt();
    NK_DO(trainStep(level, entry));
    if (stage < 4) {
        NK_DO(m_learner.train(level));
        QCOMPARE(m_rig.takeMessages(), QStringList{u"А теперь можно переходить и к мелодиям :)"_s});
        QCOMPARE(m_rig.newLog(), ExpectedLog::trainingHalves(2 * (3 - stage)) +
                                     ExpectedLog::stepDone(entry + 1, level));
    }
    QVERIFY(m_rig.levelPageShown());
    QCOMPARE(m_rig.setting("notecount"), u"4"_s);
    QCOMPARE(m_rig.currentEntry(), entry + 1);
}

} // namespace nk::test
