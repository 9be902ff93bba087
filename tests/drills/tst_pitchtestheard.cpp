#include "app/exercises.h"
#include "audio/noteplayer.h"
#include "course/randomsource.h"
#include "drills/pitchtest.h"
#include "privatepulse.h"
#include "sinkrecorder.h"
#include "skiporfail.h"
#include "tonetools.h"
#include "widgets/pitchtestlinks.h"
#include "windowrig.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>

using namespace nk;
using namespace nk::test;

// What a private sound server hears of the pitch test: before each trial's
// note, its ten masking tones, each of them found sample for sample in the
// recording, in order, and then the note.
class PitchTestHeardTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void maskingTonesThenTheNote();
};

void PitchTestHeardTest::maskingTonesThenTheNote()
{
    if (const QString missing = testkit::PrivatePulse::missingTools(); !missing.isEmpty())
        NK_SKIP_OR_FAIL(missing);
    RandomSource::seed(11);
    // At the real pace: the tones last 120 ms each.
    WindowRig rig(
        RigSetup(RigSetup::Levels, {QStringLiteral("01")}).withPrivateSink().scaledBy(1.0));
    testkit::SinkRecorder recorder;
    QString error;
    QVERIFY2(rig.ready() && recorder.start(testkit::PrivatePulse::monitorName(), &error),
             qPrintable(error));
    QSignalSpy played(&rig.state().player, &NotePlayer::sounding);
    PitchTest &test = rig.form().exercises().pitchTest();
    QVERIFY(rig.clickMenu("lbAbout"));
    QVERIFY(rig.clickLink(PitchTestLinks::FromAboutTag));
    const qsizetype from = recorder.sampleCount();
    QVERIFY(rig.clickButton(PitchTestLinks::StartTag));
    constexpr int trials = 2;
    for (int t = 0; t < trials; ++t) {
        QTRY_VERIFY_WITH_TIMEOUT(test.listening(), 10000);
        // The learner answers once the note has sounded for a moment.
        QVERIFY(recorder.waitForSamples(recorder.sampleCount() + 13230));
        rig.clickButton(PitchTestLinks::FirstNameTag);
    }
    QTRY_VERIFY_WITH_TIMEOUT(test.listening(), 10000);
    // The last note has had time to sound for a while.
    QVERIFY(recorder.waitForSamples(recorder.sampleCount() + 26460));
    QCOMPARE(played.size(), (trials + 1) * 11);
    qsizetype at = from;
    for (int i = 0; i < played.size(); ++i) {
        const std::vector<qint16> clip = testkit::wavSamples(played[i][0].toString());
        QVERIFY(!clip.empty());
        const qsizetype found = testkit::findClip(recorder.samples(), at, clip);
        QVERIFY2(found >= 0, qPrintable(QStringLiteral("sound %1 of %2 (%3) not heard after %4")
                                            .arg(i + 1)
                                            .arg(played.size())
                                            .arg(played[i][0].toString())
                                            .arg(at)));
        at = found + 1;
    }
    // The note of each trial is the one the history keeps.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    rig.state().history.writeCsv(out);
    QCOMPARE(QString::fromUtf8(out.data()).count(QStringLiteral(",проверка слуха,")), trials);
    QVERIFY(rig.clickMenu("lbAbout"));
}

QTEST_MAIN(PitchTestHeardTest)
#include "tst_pitchtestheard.moc"
