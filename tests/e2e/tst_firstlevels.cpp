#include "course/inifile.h"
#include "expectedlog.h"
#include "learnertest.h"
#include "steps/melodypages.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/trainingpages.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"
#include "widgets/tstep.h"

#include <QImage>
#include <QTest>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

const QList<int> kTicks[] = {{0, 4, 8}, {1, 2, 3}, {6, 7, 8}, {0, 1, 2}};

} // namespace

// A new learner's first days with the program, on a fresh copy of the course:
// the first start, level 1 through all its steps and its report, then the
// revision level that takes over what was learnt. The program is closed,
// and once killed, between the steps; everything must come back from files.
class FirstLevelsTest : public LearnerTest
{
    Q_OBJECT
private slots:
    void initTestCase();
    void firstStart();
    void levelOneLearning();
    void levelOneMemorising();
    void levelOneTraining();
    void levelOneMelodies();
    void levelOneReport();
    void revisionLevel();

private:
    QString answer(int note, int question) const;
    void checkNote(int level, int note, const QList<int> &ticks, const QStringList &answers);
};

void FirstLevelsTest::initTestCase()
{
    prepare();
}

QString FirstLevelsTest::answer(int note, int question) const
{
    const BookNote n = m_book.notes(1).value(note - 1);
    return Learner::answerFor(m_book.askedQuestions().value(question - 1),
                              CourseBook::pitchName(n.pitch));
}

void FirstLevelsTest::firstStart()
{
    m_rig.start();
    QCOMPARE(m_rig.newLog(), ExpectedLog::started(true));
    QCOMPARE(m_rig.link(4)->text(), u"Начать работу!"_s);
    QVERIFY(m_rig.clickLink(4));
    const IniFile part(m_rig.path(u"levels/part1.dat"_s));
    QCOMPARE(m_rig.caption(), part.readString(u"part", u"name", {}));
    QCOMPARE(m_rig.currentEntry(), 9); // every level of the course is open
    QVERIFY(m_rig.clickEntry(1));
    QCOMPARE(m_rig.newLog(), QStringList{ExpectedLog::levelLoaded(1)});
    QCOMPARE(m_rig.currentEntry(), 1);
    restart();
    QCOMPARE(m_rig.setting("firstrun"), u"0"_s);
    QVERIFY(m_rig.clickMenu("lbInstr"));
    QCOMPARE(m_rig.link(4)->text(), u"Продолжить работу!"_s);
    QVERIFY(m_rig.clickLink(4));
    QCOMPARE(m_rig.newLog(), (QStringList{u"Открыта инструкция"_s, ExpectedLog::levelLoaded(1)}));
    QVERIFY(m_rig.takeMessages().isEmpty());
}

void FirstLevelsTest::checkNote(int level, int note, const QList<int> &ticks,
                                const QStringList &answers)
{
    const IniFile notes(m_rig.levelFile(level, u"notes.dat"_s));
    const QString section = u"note%1"_s.arg(note);
    QStringList keys{u"oct"_s, u"note"_s, u"pict"_s, u"pict2"_s};
    for (int k = 1; k <= answers.size(); ++k) {
        keys << u"a%1"_s.arg(k);
        QCOMPARE(notes.readString(section, keys.last(), {}), answers[k - 1]);
    }
    keys << u"v1"_s << u"v2"_s << u"v3"_s;
    QCOMPARE(notes.keys(section), keys);
    for (int m = 1; m <= 3; ++m)
        QCOMPARE(notes.readString(section, u"v%1"_s.arg(m), {}), answers[ticks[m - 1]]);
}

void FirstLevelsTest::levelOneLearning()
{
    const int asked = int(m_book.askedQuestions().size());
    QVERIFY(m_rig.stepFlag(1, 1, "active") && !m_rig.stepFlag(1, 2, "active"));
    QVERIFY(m_rig.clickEntry(1));
    QCOMPARE(m_rig.caption(), u"ШАГ 1. Обучение"_s);
    QVERIFY(m_rig.clickButton(Step1::ConfirmTag));
    QVERIFY(m_rig.stepFlag(1, 1, "used"));
    // No answer yet: refused by the button and by Enter, nothing stored.
    QTest::mouseClick(m_rig.widgets<TMyButton>().value(0), Qt::LeftButton);
    QTest::keyClick(m_rig.widgets<TMyEdit>().value(0), Qt::Key_Return);
    QCOMPARE(m_rig.takeMessages(), QStringList(2, u"Сначала введите ответ!"_s));
    QVERIFY(!m_rig.link(Step1::ContinueLinkTag)->isEnabled());
    QStringList expected;
    QStringList answers;
    for (int k = 1; k <= 3; ++k) {
        answers << answer(1, k);
        NK_DO(m_learner.answerQuestion(answers.last(), false));
        expected << ExpectedLog::answerSaved(k, answers.last(), u"ДО"_s);
    }
    // Back from question 4 to question 3, answered anew in its place.
    QVERIFY(m_rig.clickLink(Step1::BackLinkTag));
    answers[2] = u"другой ответ про ДО"_s;
    NK_DO(m_learner.answerQuestion(answers[2], true));
    expected << ExpectedLog::answerSaved(3, answers[2], u"ДО"_s);
    NK_DO(m_learner.describeNote(1, 1, 4));
    for (int k = 4; k <= asked; ++k) {
        answers << answer(1, k);
        expected << ExpectedLog::answerSaved(k, answers.last(), u"ДО"_s);
    }
    NK_DO(m_learner.chooseTraits({0, 4}));
    QCOMPARE(m_rig.takeMessages(), QStringList{u"Выберите ТРИ характеристики"_s});
    QCOMPARE(m_rig.noteValue(1, 1, u"v1"_s), u"<none>"_s);
    NK_DO(m_learner.chooseTraits({8}));
    NK_DO(checkNote(1, 1, kTicks[0], answers));
    QCOMPARE(m_rig.setting("learnnote"), u"2"_s);
    NK_DO(m_learner.describeNote(1, 2));
    NK_DO(m_learner.chooseTraits(kTicks[1]));
    for (int k = 1; k <= asked; ++k)
        expected << ExpectedLog::answerSaved(k, answer(2, k), u"МИ"_s);
    QCOMPARE(m_rig.newLog(), expected);
    QCOMPARE(m_rig.setting("learnnote"), u"3"_s);

    // Killed in the middle: the saved note number brings the learner back.
    m_rig.kill();
    m_rig.start();
    QCOMPARE(m_rig.newLog(), ExpectedLog::started(false));
    QVERIFY(m_rig.clickEntry(1));
    expected.clear();
    for (int note = 3; note <= 4; ++note) {
        NK_DO(m_learner.describeNote(1, note));
        NK_DO(m_learner.chooseTraits(kTicks[note - 1]));
        const QString name = CourseBook::pitchName(m_book.notes(1)[note - 1].pitch);
        for (int k = 1; k <= asked; ++k)
            expected << ExpectedLog::answerSaved(k, answer(note, k), name);
    }
    expected << ExpectedLog::stepActivated(2, 1) << ExpectedLog::levelLoaded(1);
    QCOMPARE(m_rig.newLog(), expected);
    QVERIFY(m_rig.levelPageShown());
    QCOMPARE(m_rig.currentEntry(), 2);
    for (const char *counter : {"learnnote", "notenum", "notecount"})
        QCOMPARE(m_rig.setting(counter), u"1"_s);
    for (int note = 2; note <= 4; ++note) {
        QStringList all;
        for (int k = 1; k <= asked; ++k)
            all << answer(note, k);
        NK_DO(checkNote(1, note, kTicks[note - 1], all));
    }
}

void FirstLevelsTest::levelOneMemorising()
{
    NK_DO(restart());
    QVERIFY(m_rig.clickEntry(2));
    QCOMPARE(m_rig.caption(), u"ШАГ 2. Запоминание"_s);
    QVERIFY(m_rig.stepFlag(1, 2, "used"));
    QVERIFY(m_rig.clickLink(Step2::ContinueLinkTag));
    NK_DO(m_learner.memorise(1, 1, 7)); // all of note 1 and two of note 2
    QCOMPARE(m_rig.newLog(), ExpectedLog::memorised(7, false));
    QCOMPARE(m_rig.setting("notenum"), u"2"_s);
    NK_DO(restart());
    QVERIFY(m_rig.clickEntry(2)); // straight to note 2, from its first repetition
    NK_DO(m_learner.memorise(1, 2, 15));
    QVERIFY(m_rig.levelPageShown());
    QCOMPARE(m_rig.takeMessages(),
             QStringList{u"Ура! А теперь проверим, как вы на самом деле запомнили ноты ;)"_s});
    QCOMPARE(m_rig.newLog(), ExpectedLog::memorised(15, true) + ExpectedLog::stepDone(3, 1));
    QCOMPARE(m_rig.setting("notenum"), u"4"_s);
    QCOMPARE(m_rig.currentEntry(), 3);

    // Step 1 now offers the level's notes to describe again.
    QVERIFY(m_rig.clickEntry(1));
    QCOMPARE(m_rig.caption(), u"Выберите ноту"_s);
    QStringList listed;
    for (TNoteName *name : m_rig.widgets<TNoteName>())
        listed << name->text();
    QCOMPARE(listed, (QStringList{u"ДО"_s, u"МИ"_s, u"СОЛЬ"_s, u"ЛЯ"_s}));
}

void FirstLevelsTest::levelOneTraining()
{
    NK_DO(restart());
    QCOMPARE(m_rig.setting("notecount"), u"1"_s);
    NK_DO(trainStep(1, 3));
    QCOMPARE(m_rig.setting("notecount"), u"2"_s);
    // Stage 2 comes back after a restart: two notes, both named wrongly.
    NK_DO(restart());
    QVERIFY(m_rig.clickEntry(3));
    NK_DO(wrongTrainingAnswer(1));
    QCOMPARE(m_learner.heard().size(), 2);
    NK_DO(m_learner.train(1));
    QCOMPARE(m_rig.takeMessages(), QStringList{u"А теперь можно переходить и к мелодиям :)"_s});
    QCOMPARE(m_rig.newLog(), ExpectedLog::trainingHalves(6) + ExpectedLog::stepDone(4, 1));
    QCOMPARE(m_rig.setting("notecount"), u"4"_s);
    QCOMPARE(m_rig.currentEntry(), 4);
}

void FirstLevelsTest::levelOneMelodies()
{
    NK_DO(restart());
    QVERIFY(m_rig.clickEntry(4));
    QVERIFY(m_rig.clickLink(MelodyPages::ContinueLinkTag));
    // The first melody wrong, then picked out again: that one does not count.
    NK_DO(m_learner.playMelody(1, 1, false));
    QVERIFY(m_rig.labelText(60).endsWith(u"- неверный ответ"_s));
    NK_DO(m_learner.playMelody(1, 1, true, true));
    QCOMPARE(m_rig.newLog(), ExpectedLog::melodyWrong() + ExpectedLog::melodyRight(true));
    QVERIFY(m_rig.clickLink(MelodyPages::NextLinkTag));
    // Melodies 2, 3 and 4 right at the first attempt pass the step.
    QStringList expected;
    for (int number = 2; number <= 4; ++number) {
        QVERIFY(!m_rig.button(MelodyPages::MoreTag));
        NK_DO(m_learner.playMelody(1, number, true));
        QVERIFY(m_rig.clickLink(MelodyPages::NextLinkTag));
        expected << ExpectedLog::melodyRight();
    }
    QVERIFY(m_rig.button(MelodyPages::MoreTag));
    QVERIFY(m_rig.clickLink(MelodyPages::ReturnLinkTag));
    expected << ExpectedLog::stepActivated(5, 1) << ExpectedLog::levelLoaded(1);
    QCOMPARE(m_rig.newLog(), expected);
    QVERIFY(m_rig.stepFlag(1, 5, "active"));
}

void FirstLevelsTest::levelOneReport()
{
    NK_DO(restart());
    NK_DO(sendReport(1, 5));
    QCOMPARE(m_rig.setting("firstrun"), u"0"_s);
}

// Level 3 revises levels 1 and 2: what was learnt on level 1 comes along.
// Its training goes on at the stage level 1's training ended with.
void FirstLevelsTest::revisionLevel()
{
    // The learner's own picture of ДО on level 1 goes to level 3 as well.
    QImage own(24, 16, QImage::Format_RGB32);
    own.fill(Qt::darkMagenta);
    QVERIFY(own.save(m_rig.levelFile(1, u"ДО.bmp"_s), "BMP"));
    NK_DO(restart());
    NK_DO(openLevel("btPart1", 3, 3));
    QCOMPARE(m_rig.widgets<TStep>().size(), 3);
    NK_DO(trainWholeStep(3, 1));
    for (int note = 1; note <= 4; ++note) {
        for (const QString &key : {u"a1"_s, u"a9"_s, u"v1"_s, u"v3"_s})
            QCOMPARE(m_rig.noteValue(3, note, key), m_rig.noteValue(1, note, key));
    }
    for (int note = 5; note <= 7; ++note)
        QCOMPARE(m_rig.noteValue(3, note, u"v1"_s), u"<none>"_s); // level 2 not yet done
    QFile learnt(m_rig.levelFile(1, u"ДО.bmp"_s));
    QFile copied(m_rig.levelFile(3, u"ДО.bmp"_s));
    QVERIFY(learnt.open(QIODevice::ReadOnly) && copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), learnt.readAll());
    NK_DO(restart());
    NK_DO(openLevel("btPart1", 3, 3));
    NK_DO(pickMelodies(3, 2, 2));
    NK_DO(restart());
    NK_DO(openLevel("btPart1", 3, 3));
    NK_DO(sendReport(3, 3));
    QVERIFY(m_rig.quit());
    QCOMPARE(m_rig.newLog(), QStringList{ExpectedLog::closed()});
}

QTEST_MAIN(FirstLevelsTest)
#include "tst_firstlevels.moc"
