#include "course/programclock.h"
#include "keyboardrig.h"
#include "widgets/pagelabel.h"

#include <QTest>
#include <QTimer>

using namespace nk;
using nk::test::KeyboardRig;

namespace {

enum class Result
{
    None,
    TrainingRight,
    TrainingWrong,
    MelodyRight,
    MelodyWrong
};

// Counts the result pages a judgement opens.
struct ResultLog
{
    explicit ResultLog(Keyboard &keyboard)
    {
        Keyboard::ResultPages &pages = keyboard.resultPages();
        pages.showTrainingRight = [this] { opened.append(Result::TrainingRight); };
        pages.showTrainingWrong = [this] { opened.append(Result::TrainingWrong); };
        pages.showMelodyRight = [this] { opened.append(Result::MelodyRight); };
        pages.showMelodyWrong = [this] { opened.append(Result::MelodyWrong); };
    }
    QList<Result> opened;
};

void expect(KeyboardRig &rig, const QList<KeyId> &notes)
{
    for (int i = 0; i < notes.size(); ++i)
        atPosition(rig.notesB, i + 1) = TNote{i + 1, notes[i].octave, quint8(notes[i].pitch)};
    rig.allowed.AnswerLen = int(notes.size());
    rig.allowed.AnswerPos = 1;
    rig.allowed.Collecting = true;
}

} // namespace

Q_DECLARE_METATYPE(Result)

class TestKeyboardJudge : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ProgramClock::setScale(0.01); }
    void oneWrongNoteInThree();
    void resultPageByLevelAndStep_data();
    void resultPageByLevelAndStep();
    void pressDuringTheWaitIsNeitherRecordedNorJudged();
    void fullAnswerPlusAPressDuringTheWait();
    void pageChangedDuringTheWaitOpensNothing();
    void emptyRangeSilencesEveryKey_data();
    void emptyRangeSilencesEveryKey();
    void recordingNeverWritesPastTheArrays();
};

void TestKeyboardJudge::oneWrongNoteInThree()
{
    KeyboardRig rig;
    ResultLog results(rig.keyboard);
    rig.settings.Level = 1;
    rig.settings.Step = 3;
    expect(rig, {{5, 0}, {5, 3}, {5, 4}});
    rig.click(5, 0);
    rig.click(5, 2);
    QVERIFY(results.opened.isEmpty());
    QCOMPARE(rig.allowed.AnswerPos, 3);
    rig.click(5, 4); // judged after the one-second wait
    QCOMPARE(rig.errors.ErrorCount, 1);
    QCOMPARE(atPosition(rig.errors.Errors, 1), 2);
    QCOMPARE(rig.errors.ErrorPos, 1);
    QVERIFY(!rig.allowed.Collecting);
    QCOMPARE(results.opened, QList<Result>{Result::TrainingWrong});
    QCOMPARE(atPosition(rig.notesA, 2).Pitch, quint8(2));
    QCOMPARE(atPosition(rig.notesA, 3).Duration, 4); // training answers carry 4
}

void TestKeyboardJudge::resultPageByLevelAndStep_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("right");
    QTest::addColumn<Result>("result");
    QTest::newRow("level 1 training right") << 1 << 3 << true << Result::TrainingRight;
    QTest::newRow("level 1 training wrong") << 1 << 3 << false << Result::TrainingWrong;
    QTest::newRow("level 1 melody right") << 1 << 4 << true << Result::MelodyRight;
    QTest::newRow("level 1 melody wrong") << 1 << 4 << false << Result::MelodyWrong;
    QTest::newRow("short 3 training") << 3 << 1 << true << Result::TrainingRight;
    QTest::newRow("short 28 melody wrong") << 28 << 2 << false << Result::MelodyWrong;
    QTest::newRow("short 12 step 3") << 12 << 3 << true << Result::None;
    QTest::newRow("level 1 step 1") << 1 << 1 << false << Result::None;
    QTest::newRow("level 4 step 2") << 4 << 2 << true << Result::None;
}

void TestKeyboardJudge::resultPageByLevelAndStep()
{
    QFETCH(int, level);
    QFETCH(int, step);
    QFETCH(bool, right);
    QFETCH(Result, result);
    KeyboardRig rig;
    ResultLog results(rig.keyboard);
    rig.settings.Level = level;
    rig.settings.Step = step;
    expect(rig, {{4, 11}, {6, 0}});
    rig.click(4, 11);
    rig.click(6, right ? 0 : 1);
    QCOMPARE(rig.errors.ErrorCount, right ? 0 : 1);
    QCOMPARE(results.opened, result == Result::None ? QList<Result>{} : QList<Result>{result});
    // Melody answers on step 4 keep the rhythm of the notes being reproduced.
    QCOMPARE(atPosition(rig.notesA, 2).Duration, step == 4 ? 2 : 4);
}

void TestKeyboardJudge::pressDuringTheWaitIsNeitherRecordedNorJudged()
{
    KeyboardRig rig;
    ResultLog results(rig.keyboard);
    rig.settings.Level = 2;
    rig.settings.Step = 4;
    expect(rig, {{5, 0}, {5, 2}});
    atPosition(rig.notesA, 3) = TNote{7, 6, 7};
    rig.click(5, 0);
    bool lit = false;
    QTimer::singleShot(ProgramClock::scaled(Keyboard::JudgeDelayMs) / 3, [&rig, &lit] {
        rig.click(6, 3);
        lit = rig.keyColour(6, 3) == KeyboardLayout::Green;
    });
    rig.click(5, 2);
    QCOMPARE(results.opened, QList<Result>{Result::MelodyRight});
    QCOMPARE(rig.settings.Octave, 6); // it sounded and lit
    QVERIFY(lit);
    QCOMPARE(rig.allowed.AnswerPos, 3);
    QCOMPARE(atPosition(rig.notesA, 3).Duration, 7);
    QCOMPARE(rig.errors.ErrorCount, 0);
}

void TestKeyboardJudge::fullAnswerPlusAPressDuringTheWait()
{
    KeyboardRig rig;
    ResultLog results(rig.keyboard);
    rig.settings.Level = 1;
    rig.settings.Step = 3;
    QList<KeyId> notes;
    for (int i = 0; i < MaxSequenceNotes; ++i)
        notes.append({4 + i / 12, i % 12});
    expect(rig, notes);
    for (int i = 0; i < MaxSequenceNotes - 1; ++i)
        rig.click(notes[i].octave, notes[i].pitch);
    QTimer::singleShot(ProgramClock::scaled(Keyboard::JudgeDelayMs) / 3,
                       [&rig] { rig.click(4, 0); });
    rig.click(6, 11);
    QCOMPARE(results.opened, QList<Result>{Result::TrainingRight});
    QCOMPARE(rig.allowed.AnswerPos, MaxSequenceNotes + 1);
    QCOMPARE(rig.settings.Octave, 4);
}

void TestKeyboardJudge::pageChangedDuringTheWaitOpensNothing()
{
    KeyboardRig rig;
    ResultLog results(rig.keyboard);
    rig.settings.Level = 1;
    rig.settings.Step = 3;
    rig.page.addText(QStringLiteral("question"), QPoint(150, 40));
    expect(rig, {{5, 9}});
    QTimer::singleShot(ProgramClock::scaled(Keyboard::JudgeDelayMs) / 3, [&rig] {
        rig.page.ClearPage();
        rig.page.addText(QStringLiteral("level page"), QPoint(150, 40));
    });
    rig.click(5, 9);
    QVERIFY(results.opened.isEmpty());
    QVERIFY(!rig.allowed.Collecting);
}

void TestKeyboardJudge::emptyRangeSilencesEveryKey_data()
{
    QTest::addColumn<int>("lowOctave");
    QTest::addColumn<int>("highOctave");
    QTest::addColumn<int>("lowPitch");
    QTest::addColumn<int>("highPitch");
    QTest::newRow("pitches 9..2") << 4 << 5 << 9 << 2;
    QTest::newRow("octaves 6..4") << 6 << 4 << 0 << 11;
    QTest::newRow("as created") << 0 << 0 << 0 << 0;
}

void TestKeyboardJudge::emptyRangeSilencesEveryKey()
{
    QFETCH(int, lowOctave);
    QFETCH(int, highOctave);
    QFETCH(int, lowPitch);
    QFETCH(int, highPitch);
    KeyboardRig rig;
    ResultLog results(rig.keyboard);
    rig.allowed.LowOctave = lowOctave;
    rig.allowed.HighOctave = highOctave;
    rig.allowed.LowPitch = quint8(lowPitch);
    rig.allowed.HighPitch = quint8(highPitch);
    rig.settings.Step = 3;
    rig.allowed.Collecting = true;
    rig.settings.Octave = 0;
    const QImage rest = rig.keyboard.picture();
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch)
            rig.click(octave, pitch);
    }
    QCOMPARE(rig.keyboard.picture(), rest);
    QCOMPARE(rig.settings.Octave, 0);
    QCOMPARE(rig.allowed.AnswerPos, 1);
    QVERIFY(results.opened.isEmpty());
}

void TestKeyboardJudge::recordingNeverWritesPastTheArrays()
{
    KeyboardRig rig;
    const NoteArray before = rig.notesA;
    rig.allowed.AnswerPos = MaxSequenceNotes + 1;
    rig.keyboard.RecordAnswer(4, 5, 0);
    rig.allowed.AnswerPos = 0;
    rig.keyboard.RecordAnswer(4, 5, 0);
    QCOMPARE(rig.allowed.AnswerPos, 1);
    for (int i = 1; i <= MaxSequenceNotes; ++i)
        QCOMPARE(atPosition(rig.notesA, i).Duration, atPosition(before, i).Duration);
    // An over-long expected answer is judged over the 36 notes there are.
    ResultLog results(rig.keyboard);
    rig.settings.Level = 1;
    rig.settings.Step = 3;
    rig.allowed.AnswerLen = 40;
    rig.allowed.AnswerPos = 41;
    rig.keyboard.JudgeAnswers();
    QCOMPARE(results.opened, QList<Result>{Result::TrainingRight});
}

QTEST_MAIN(TestKeyboardJudge)
#include "tst_keyboardjudge.moc"
