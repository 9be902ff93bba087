#include "app/coursepages.h"
#include "app/exercises.h"
#include "course/inifile.h"
#include "course/programclock.h"
#include "course/randomsource.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "privatepulse.h"
#include "sinkrecorder.h"
#include "skiporfail.h"
#include "steps/melodypages.h"
#include "steps/playnotesequence.h"
#include "steps/step3.h"
#include "steps/stepcontext.h"
#include "widgets/page.h"
#include "widgets/tstep.h"
#include "widgets/tyesbutton.h"
#include "windowrig.h"

#include <QTest>
#include <QTimer>

using namespace nk;
using namespace nk::test;

namespace {

const QString kNextPair = QStringLiteral("А теперь послушайте и сравните следующую пару нот.");
const QString kReviewDone =
    QStringLiteral("Надеюсь, вы запомнили разницу между этими нотами. Иначе придётся повторить ;)");

QString notesText(const QStringList &notes)
{
    QString text = QStringLiteral("[step]\r\nname=s\r\n");
    for (qsizetype k = 0; k < notes.size(); ++k)
        text += QStringLiteral("[note%1]\r\noct=5\r\nnote=%2\r\n").arg(k + 1).arg(notes[k]);
    return text;
}

bool menuEnabled(TMainForm &form)
{
    return form.findChild<QWidget *>(QStringLiteral("btPart1"))->isEnabled();
}

bool levelPageShown(TMainForm &form)
{
    for (QWidget *w : form.page().pageWidgets()) {
        if (qobject_cast<TStep *>(w))
            return true;
    }
    return false;
}

} // namespace

class TrainingTest : public QObject
{
    Q_OBJECT
private slots:
    void randomQuestion_data();
    void randomQuestion();
    void playedSequenceBecomesTheAnswer_data();
    void playedSequenceBecomesTheAnswer();
    void badTokenChangesNothing();
    void longSequenceIsCut();
    void keysLightOnLevelFourOnly_data();
    void keysLightOnLevelFourOnly();
    void nextAfterRightAnswer_data();
    void nextAfterRightAnswer();
    void wrongAnswerComparesEachPairThenAsksAgain();
    void listenAgainWaitsForPlayback_data();
    void listenAgainWaitsForPlayback();
    void leavingTheComparisonEndsTheReview();
    void levelPageAfterAReviewFreesTheMenu();
    void listenDuringJudging_data();
    void listenDuringJudging();
    void newestPlaybackWins_data();
    void newestPlaybackWins();
    void characteristicsListed_data();
    void characteristicsListed();
    void startClampsTheStage_data();
    void startClampsTheStage();
    void revisionLevelTakesOverLearnerWork();
    void questionSoundsAtTheServer();
};

void TrainingTest::randomQuestion_data()
{
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("fixed"); // the only possible answer, when there is one
    QTest::newRow("three notes") << QStringList{QStringLiteral("0"), QStringLiteral("2"),
                                                QStringLiteral("4")}
                                 << 3 << QString();
    QTest::newRow("two notes, four tokens")
        << QStringList{QStringLiteral("0"), QStringLiteral("11")} << 4 << QString();
    QTest::newRow("one note") << QStringList{QStringLiteral("7")} << 3
                              << QStringLiteral("457 457 457");
    QTest::newRow("no notes") << QStringList() << 2 << QStringLiteral("150");
    QTest::newRow("pitch as written")
        << QStringList{QStringLiteral("15")} << 1 << QStringLiteral("4515");
}

void TrainingTest::randomQuestion()
{
    QFETCH(QStringList, notes);
    QFETCH(int, count);
    QFETCH(QString, fixed);
    WindowRig rig({});
    if (!notes.isEmpty())
        rig.writeText(QStringLiteral("levels/05/notes.dat"), notesText(notes));
    rig.state().Settings.Level = 5;
    QSet<QString> seen;
    for (quint32 seed = 1; seed <= 60; ++seed) {
        RandomSource::seed(seed);
        const QString question = rig.training().RandomQuestion(count);
        if (!fixed.isEmpty()) {
            QCOMPARE(question, fixed);
            continue;
        }
        const QStringList tokens = question.split(QLatin1Char(' '));
        QCOMPARE(tokens.size(), count);
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            QVERIFY2(tokens[i].startsWith(QLatin1String("45")), qPrintable(question));
            if (i > 0)
                QVERIFY2(tokens[i] != tokens[i - 1], qPrintable(question));
            seen.insert(tokens[i]);
        }
    }
    if (fixed.isEmpty())
        QCOMPARE(seen.size(), notes.size());
}

void TrainingTest::playedSequenceBecomesTheAnswer_data()
{
    QTest::addColumn<bool>("reviewing");
    QTest::newRow("question") << false;
    QTest::newRow("review replay") << true;
}

void TrainingTest::playedSequenceBecomesTheAnswer()
{
    QFETCH(bool, reviewing);
    WindowRig rig({});
    GlobalState &s = rig.state();
    s.ErrorSet.Reviewing = reviewing;
    s.Allowed.AnswerLen = 3;
    s.Allowed.AnswerPos = 2;
    s.NotesB[0] = TNote{4, 6, 7};
    QVERIFY(PlayNoteSequence(rig.context(), QStringLiteral("150")));
    QCOMPARE(s.Allowed.AnswerLen, reviewing ? 3 : 1);
    QCOMPARE(s.Allowed.AnswerPos, reviewing ? 2 : 1);
    QCOMPARE(s.NotesB[0].Duration, reviewing ? 4 : 1);
    QCOMPARE(s.NotesB[0].Octave, reviewing ? 6 : 5);
    QCOMPARE(int(s.NotesB[0].Pitch), reviewing ? 7 : 0);
}

void TrainingTest::badTokenChangesNothing()
{
    WindowRig rig({});
    GlobalState &s = rig.state();
    s.Allowed.AnswerLen = 3;
    s.Allowed.AnswerPos = 2;
    s.NotesB[0] = TNote{4, 6, 7};
    QVERIFY(!PlayNoteSequence(rig.context(), QStringLiteral("150 4x2 452")));
    QCOMPARE(WindowRig::messages().size(), 1);
    QVERIFY(WindowRig::messages().first().contains(QLatin1String("4x2")));
    QCOMPARE(s.Allowed.AnswerLen, 3);
    QCOMPARE(s.Allowed.AnswerPos, 2);
    QCOMPARE(s.NotesB[0].Octave, 6);
}

void TrainingTest::longSequenceIsCut()
{
    WindowRig rig({});
    QStringList tokens;
    for (int i = 0; i < 40; ++i)
        tokens << QStringLiteral("05%1").arg(i % 12);
    QVERIFY(PlayNoteSequence(rig.context(), tokens.join(QLatin1Char(' '))));
    QCOMPARE(rig.state().Allowed.AnswerLen, 36);
    QCOMPARE(int(rig.state().NotesB[35].Pitch), 35 % 12);
}

void TrainingTest::keysLightOnLevelFourOnly_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("lit");
    QTest::newRow("level 4") << 4 << true;
    QTest::newRow("level 5") << 5 << false;
    QTest::newRow("level 14") << 14 << false;
}

void TrainingTest::keysLightOnLevelFourOnly()
{
    QFETCH(int, level);
    QFETCH(bool, lit);
    WindowRig rig({});
    rig.state().Settings.Level = level;
    const QPoint key = KeyboardLayout::seed(5, 2);
    auto colour = [&rig, key] { return rig.form().keyboard().picture().pixel(key) | 0xFF000000; };
    const QRgb resting = colour();
    bool seenGreen = false;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        seenGreen = seenGreen || colour() == (KeyboardLayout::Green | 0xFF000000);
    });
    sampler.start(0);
    QVERIFY(PlayNoteSequence(rig.context(), QStringLiteral("952 950")));
    sampler.stop();
    QCOMPARE(seenGreen, lit);
    QCOMPARE(colour(), resting);
}

void TrainingTest::nextAfterRightAnswer_data()
{
    QTest::addColumn<int>("rightInRow");
    QTest::addColumn<bool>("rest");
    QTest::newRow("sixth right answer") << 5 << false;
    QTest::newRow("seventh right answer") << 6 << true;
}

void TrainingTest::nextAfterRightAnswer()
{
    QFETCH(int, rightInRow);
    QFETCH(bool, rest);
    WindowRig rig({QStringLiteral("05")});
    rig.state().Settings.Level = 5;
    rig.state().Step3Set.RightInRow = rightInRow;
    rig.training().ShowTrainingRight();
    QVERIFY(rig.clickLink(TrainingPages::NextLinkTag));
    QCOMPARE(rig.button(TrainingPages::ListenTag) != nullptr, !rest);
    QCOMPARE(rig.labelText(40).startsWith(QStringLiteral("Замечательно!  А теперь")), rest);
    QCOMPARE(rig.state().Resting, rest);
    QCOMPARE(rig.state().Step3Set.RightInRow, rest ? 6 : rightInRow + 1);
    QCOMPARE(rig.logLines().last().endsWith(QLatin1String("relax 1")), rest);
}

void TrainingTest::wrongAnswerComparesEachPairThenAsksAgain()
{
    WindowRig rig({QStringLiteral("05")});
    GlobalState &s = rig.state();
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    s.Step3Set.QuestionText = QStringLiteral("450 452 454");
    s.Step3Set.RightInRow = 4;
    QVERIFY(!rig.button(TrainingPages::AnswerTag)->isEnabled());
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    rig.pressKey(5, 0);
    rig.pressKey(5, 5);
    rig.pressKey(5, 7);
    QTRY_VERIFY(rig.link(TrainingPages::CompareLinkTag) != nullptr);
    QCOMPARE(rig.labelText(50), QStringLiteral("Неправильно. Это были ноты ДО РЕ МИ "));
    QVERIFY(rig.labelText(78).endsWith(QStringLiteral("ДО ФА СОЛЬ ")));
    QCOMPARE(s.Step3Set.RightInRow, 0);
    QVERIFY(s.ErrorSet.Reviewing);
    QVERIFY(!menuEnabled(rig.form()));

    QVERIFY(rig.clickLink(TrainingPages::CompareLinkTag));
    QTRY_COMPARE(WindowRig::messages().size(), 2);
    QCOMPARE(WindowRig::messages(), (QStringList{kNextPair, kReviewDone}));
    QTRY_VERIFY(rig.button(TrainingPages::ListenTag) != nullptr);
    QCOMPARE(rig.logLines().filter(QStringLiteral("Долбим ноты")).size(), 2);
    QCOMPARE(s.Step3Set.QuestionText, QStringLiteral("450 452 454"));
    QVERIFY(!s.ErrorSet.Reviewing);
    QVERIFY(!s.Settings.Busy);
    QVERIFY(menuEnabled(rig.form()));
}

void TrainingTest::listenAgainWaitsForPlayback_data()
{
    QTest::addColumn<bool>("playing");
    QTest::newRow("nothing playing") << false;
    QTest::newRow("a listen button playing") << true;
}

// With no answer notes the replay text is empty and playing it would complain.
void TrainingTest::listenAgainWaitsForPlayback()
{
    QFETCH(bool, playing);
    WindowRig rig({QStringLiteral("05")});
    rig.state().Settings.Level = 5;
    rig.state().Allowed.AnswerLen = 0;
    rig.training().ShowTrainingWrong();
    rig.state().MelodyPlaying = playing;
    QVERIFY(rig.clickButton(TrainingPages::ListenGivenTag));
    QVERIFY(rig.clickButton(TrainingPages::ListenRightTag));
    QCOMPARE(WindowRig::messages().size(), playing ? 0 : 2);
    QCOMPARE(rig.state().MelodyPlaying, playing);
}

void TrainingTest::leavingTheComparisonEndsTheReview()
{
    WindowRig rig({QStringLiteral("05")});
    GlobalState &s = rig.state();
    s.Settings.Level = 5;
    s.Allowed.AnswerLen = 1;
    s.NotesA[0] = TNote{4, 5, 2};
    s.NotesB[0] = TNote{4, 5, 0};
    s.ErrorSet.ErrorCount = 1;
    s.ErrorSet.Errors[0] = 1;
    rig.training().ShowTrainingWrong();
    QVERIFY(rig.clickLink(TrainingPages::CompareLinkTag));
    QTimer::singleShot(0, &rig.form(), [&rig] { rig.form().course().ShowLevelPage(5); });
    QTRY_VERIFY(levelPageShown(rig.form()));
    QTRY_VERIFY(!s.ErrorSet.Reviewing);
    QTRY_VERIFY(menuEnabled(rig.form()));
    QVERIFY(!s.Settings.Busy);
    QVERIFY(!WindowRig::messages().contains(kReviewDone));
    QVERIFY(levelPageShown(rig.form()));
}

// Every entry of the menu column comes back, not only the course parts.
void TrainingTest::levelPageAfterAReviewFreesTheMenu()
{
    WindowRig rig({QStringLiteral("05")});
    GlobalState &s = rig.state();
    s.Settings.Level = 5;
    s.Allowed.AnswerLen = 1;
    rig.training().ShowTrainingWrong();
    const QStringList column{QStringLiteral("lbInstr"), QStringLiteral("Label1"),
                             QStringLiteral("lbAbout"), QStringLiteral("btPart1")};
    for (const QString &name : column)
        QVERIFY(!rig.form().findChild<QWidget *>(name)->isEnabled());
    rig.form().course().ShowLevelPage(5);
    for (const QString &name : column)
        QVERIFY2(rig.form().findChild<QWidget *>(name)->isEnabled(), qPrintable(name));
}

void TrainingTest::listenDuringJudging_data()
{
    QTest::addColumn<bool>("right");
    QTest::newRow("right answer") << true;
    QTest::newRow("wrong answer") << false;
}

// "Послушать" in the second before the result: the answer given is judged
// against the notes it answered, and the learner answers on as after any
// listen.
void TrainingTest::listenDuringJudging()
{
    QFETCH(bool, right);
    WindowRig rig({QStringLiteral("05")});
    GlobalState &s = rig.state();
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    s.Step3Set.QuestionText = QStringLiteral("450 452");
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    ProgramClock::setScale(0.01); // room in the judging second for a click
    bool listened = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &rig.form(), [&] {
        const TAllowed &a = s.Allowed;
        if (!listened && !a.Collecting && a.AnswerPos > a.AnswerLen)
            listened = rig.clickButton(TrainingPages::ListenTag);
    });
    probe.start(0);
    rig.pressKey(5, 0);
    rig.pressKey(5, right ? 2 : 4);
    probe.stop();
    QVERIFY(listened);
    QTRY_VERIFY(rig.link(right ? TrainingPages::NextLinkTag : TrainingPages::CompareLinkTag));
    QVERIFY(!s.Allowed.Collecting);
    if (!right) {
        QCOMPARE(rig.labelText(50), QStringLiteral("Неправильно. Это были ноты ДО РЕ "));
        QVERIFY(rig.labelText(78).endsWith(QStringLiteral("ДО МИ ")));
        QCOMPARE(s.ErrorSet.ErrorCount, 1);
        return;
    }
    QVERIFY(rig.clickLink(TrainingPages::NextLinkTag));
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    const QList<TNote> played(s.NotesB.begin(), s.NotesB.begin() + s.Allowed.AnswerLen);
    for (const TNote &note : played)
        rig.pressKey(note.Octave, note.Pitch);
    QTRY_VERIFY(rig.link(TrainingPages::NextLinkTag));
    QCOMPARE(rig.logLines().filter(QStringLiteral("Ноты угаданы правильно")).size(), 2);
}

void TrainingTest::newestPlaybackWins_data()
{
    QTest::addColumn<bool>("melody"); // the second listen is a melody of Step 4
    QTest::newRow("second question") << false;
    QTest::newRow("melody of Step 4") << true;
}

// A listen begun while a question still sounds takes over: the learner
// answers the newer notes, and the older playback adds none of its own.
void TrainingTest::newestPlaybackWins()
{
    QFETCH(bool, melody);
    WindowRig rig({QStringLiteral("05")});
    GlobalState &s = rig.state();
    IniFile level(rig.levelFile(5, QStringLiteral("level.dat")));
    level.writeInteger(QStringLiteral("step4"), QStringLiteral("active"), 1);
    level.writeInteger(QStringLiteral("step4"), QStringLiteral("used"), 1);
    rig.writeText(QStringLiteral("levels/05/melody.dat"),
                  QStringLiteral("[melody]\r\nm1=157 159\r\n"));
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    s.Step3Set.QuestionText = QStringLiteral("450 452 454 455");
    s.NotesB[0] = TNote{1, 6, 11}; // not the first note, so the probe waits for it
    bool second = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, &rig.form(), [&] {
        if (second || s.NotesB[0].Octave != 5 || s.NotesB[0].Pitch != 0)
            return; // the first note has not begun sounding yet
        second = true;
        if (melody) {
            rig.form().course().OpenStep(5, 4);
            QVERIFY(rig.clickButton(MelodyPages::ListenTag));
        } else {
            s.Step3Set.QuestionText = QStringLiteral("457 459");
            QVERIFY(rig.clickButton(TrainingPages::ListenTag));
        }
    });
    probe.start(0);
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    probe.stop();
    QVERIFY(second);
    QCOMPARE(s.Allowed.AnswerLen, 2);
    for (int i : {0, 1})
        QCOMPARE((QList<int>{s.NotesB[std::size_t(i)].Octave, s.NotesB[std::size_t(i)].Pitch}),
                 (QList<int>{5, 7 + 2 * i}));
    QVERIFY(rig.clickButton(melody ? MelodyPages::AnswerTag : TrainingPages::AnswerTag));
    rig.pressKey(5, 7);
    rig.pressKey(5, 9);
    if (melody)
        QTRY_VERIFY(rig.onRightPage());
    else
        QTRY_VERIFY(rig.link(TrainingPages::NextLinkTag));
}

void TrainingTest::characteristicsListed_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("listed");
    QTest::newRow("level 8") << 8 << true;
    QTest::newRow("level 9") << 9 << false;
}

void TrainingTest::characteristicsListed()
{
    QFETCH(int, level);
    QFETCH(bool, listed);
    const QString folder = QStringLiteral("0%1").arg(level);
    WindowRig rig({folder});
    IniFile notes(rig.path(QStringLiteral("levels/") + folder + QStringLiteral("/notes.dat")));
    notes.writeString(QStringLiteral("note1"), QStringLiteral("v1"), QStringLiteral("круглая"));
    rig.state().Settings.Level = level;
    rig.state().Step3Set.LevelNoteCount = int(notes.sections().size()) - 1;
    rig.training().ShowTrainingQuestion();
    const QString list = rig.labelText(208);
    QCOMPARE(list.isEmpty(), !listed);
    if (listed) {
        QCOMPARE(list.count(QLatin1Char('\n')), rig.state().Step3Set.LevelNoteCount);
        QVERIFY2(list.section(QLatin1Char('\n'), 0, 0)
                     .endsWith(QStringLiteral(" - круглая, нет данных, нет данных")),
                 qPrintable(list));
    }
}

void TrainingTest::startClampsTheStage_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("noteCount");
    QTest::newRow("none stored") << -1 << 1;
    QTest::newRow("stage 3") << 3 << 3;
    QTest::newRow("too high") << 7 << 4;
    QTest::newRow("zero") << 0 << 1;
}

void TrainingTest::startClampsTheStage()
{
    QFETCH(int, stored);
    QFETCH(int, noteCount);
    WindowRig rig({QStringLiteral("05")});
    if (stored >= 0)
        IniFile(rig.path(QStringLiteral("levels/settings.dat")))
            .writeInteger(QStringLiteral("main"), QStringLiteral("notecount"), stored);
    rig.openTraining(5);
    const TStep3Set &set = rig.state().Step3Set;
    QCOMPARE(set.NoteCount, noteCount);
    QCOMPARE(set.QuestionText.split(QLatin1Char(' ')).size(), noteCount);
    QCOMPARE(set.Half, 1);
    QCOMPARE(set.RightInRow, 0);
    QVERIFY(rig.link(TrainingPages::ContinueLinkTag) != nullptr); // the introduction first
    QVERIFY(rig.form().course().IsStepUsed(3));
    rig.openTraining(5);
    QVERIFY(rig.button(TrainingPages::ListenTag) != nullptr); // then straight to questions
}

void TrainingTest::revisionLevelTakesOverLearnerWork()
{
    WindowRig rig({QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")});
    IniFile(rig.path(QStringLiteral("levels/02/notes.dat")))
        .writeString(QStringLiteral("note2"), QStringLiteral("v1"), QStringLiteral("мягкая"));
    rig.openTraining(3);
    QCOMPARE(IniFile(rig.path(QStringLiteral("levels/03/notes.dat")))
                 .readString(u"note5", u"v1", QString()),
             QStringLiteral("мягкая"));
    QVERIFY(rig.link(TrainingPages::ContinueLinkTag) != nullptr);
}

// The question's notes go from the window through the wiring, the player and
// the sound output to a real sound server.
void TrainingTest::questionSoundsAtTheServer()
{
    if (const QString missing = testkit::PrivatePulse::missingTools(); !missing.isEmpty())
        NK_SKIP_OR_FAIL(missing);
    WindowRig rig(RigSetup(RigSetup::Levels, {QStringLiteral("05")}).withPrivateSink());
    QVERIFY(rig.ready());
    testkit::SinkRecorder recorder;
    QString error;
    QVERIFY2(recorder.start(testkit::PrivatePulse::monitorName(), &error), qPrintable(error));
    rig.openTraining(5);
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    const qsizetype from = recorder.sampleCount();
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(recorder.waitForSamples(from + 44100)); // a second after the click
    int peak = 0;
    for (qsizetype i = from; i < recorder.sampleCount(); ++i)
        peak = std::max(peak, std::abs(int(recorder.samples()[std::size_t(i)])));
    QVERIFY2(peak > 1000, qPrintable(QString::number(peak))); // a piano note, not silence
}

QTEST_MAIN(TrainingTest)
#include "tst_training.moc"
