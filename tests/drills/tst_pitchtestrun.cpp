#include "course/randomsource.h"
#include "drills/pitchtestrun.h"

#include <QSignalSpy>
#include <QTest>

using namespace nk;

// A sitting of the pitch test against a scripted learner and a clock of the
// test's own: what is played before each note, which keys count, and the score.
class TestPitchTestRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { RandomSource::seed(20261210); }
    void answeringDoEverywhere();
    void answeringEverythingRight();
    void keysBeforeTheNoteAreIgnored();
    void leftHalfWayIsNotScored();
};

namespace {
struct Rig
{
    qint64 clock = 0;
    QList<TestNote> played;
    QList<int> waits;
    int stops = 0;
    std::function<void()> duringWait;
    PitchTestRun run{hooks(), {QStringLiteral("piano"), QStringLiteral("choir")}};

    PitchTestRun::Hooks hooks()
    {
        PitchTestRun::Hooks h;
        h.play = [this](const TestNote &n) { played.append(n); };
        h.stop = [this] { ++stops; };
        h.wait = [this](int ms) {
            waits.append(ms);
            clock += ms;
            if (duringWait)
                duringWait();
        };
        h.now = [this] { return clock; };
        return h;
    }
    // Answers each trial once its note sounds, after `thinkMs`.
    void answerAll(const std::function<int(const TestNote &)> &choose, qint64 thinkMs)
    {
        while (!run.isOver()) {
            QTRY_VERIFY(run.listening());
            clock += thinkMs;
            run.answer(choose(played.last()));
        }
    }
};
} // namespace

void TestPitchTestRun::answeringDoEverywhere()
{
    Rig rig;
    QSignalSpy finished(&rig.run, &PitchTestRun::finished);
    QSignalSpy answered(&rig.run, &PitchTestRun::trialAnswered);
    rig.run.start();
    rig.answerAll([](const TestNote &) { return 0; }, 2500);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(answered.size(), 36);
    const auto score = finished[0][0].value<PitchTestScore>();
    QCOMPARE(score.right, 3);
    QCOMPARE(PitchTestScore::tenths(score.meanErrorTenths), QStringLiteral("3,0"));
    QCOMPARE(score.fastRight, 3);
    // Ten tones and the trial's note each time, the note last.
    QCOMPARE(rig.played.size(), 36 * 11);
    for (int t = 0; t < 36; ++t) {
        QCOMPARE(rig.played[t * 11 + 10], rig.run.trials()[t].note);
        QCOMPARE(rig.run.trials()[t].answerMs, 2500);
        // The silence after the ten tones of 120 ms.
        const int silence = rig.waits[t * 11 + 10];
        QVERIFY(silence >= 1000 && silence <= 3000);
        for (int w = 0; w < 10; ++w)
            QCOMPARE(rig.waits[t * 11 + w], 120);
    }
}

void TestPitchTestRun::answeringEverythingRight()
{
    Rig rig;
    QSignalSpy finished(&rig.run, &PitchTestRun::finished);
    rig.run.start();
    rig.answerAll([](const TestNote &n) { return n.pitch; }, 3200);
    const auto score = finished[0][0].value<PitchTestScore>();
    QCOMPARE(score.right, 36);
    QCOMPARE(PitchTestScore::tenths(score.meanErrorTenths), QStringLiteral("0,0"));
    QCOMPARE(score.fastRight, 0);
}

void TestPitchTestRun::keysBeforeTheNoteAreIgnored()
{
    Rig rig;
    bool pressed = false;
    rig.duringWait = [&rig, &pressed] {
        if (!pressed) {
            pressed = true;
            rig.run.answer(5);
        }
    };
    rig.run.start();
    QVERIFY(pressed);
    QVERIFY(rig.run.listening());
    QVERIFY(rig.run.trials().isEmpty());
    rig.duringWait = {};
    const int pitch = rig.played.last().pitch;
    rig.run.answer(pitch);
    rig.run.answer((pitch + 1) % 12); // a second key for the same trial
    QCOMPARE(rig.run.trials().size(), 1);
    QCOMPARE(rig.run.trials()[0].answered, pitch);
}

void TestPitchTestRun::leftHalfWayIsNotScored()
{
    Rig rig;
    QSignalSpy finished(&rig.run, &PitchTestRun::finished);
    QSignalSpy answered(&rig.run, &PitchTestRun::trialAnswered);
    rig.run.start();
    for (int t = 0; t < 18; ++t) {
        QTRY_VERIFY(rig.run.listening());
        rig.run.answer(0);
    }
    // Left during the next trial's tones.
    rig.duringWait = [&rig] { rig.run.abandon(); };
    QTRY_VERIFY(rig.run.isOver());
    const qsizetype heard = rig.played.size();
    QCoreApplication::processEvents();
    rig.run.answer(0);
    QCOMPARE(rig.played.size(), heard);
    QCOMPARE(answered.size(), 18);
    QCOMPARE(finished.size(), 0);
}

QTEST_MAIN(TestPitchTestRun)
#include "tst_pitchtestrun.moc"
