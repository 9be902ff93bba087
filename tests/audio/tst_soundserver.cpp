// The sound server comes and goes under a running program: notes must be
// heard again once a server answers, and the learner is told, once, while
// none does.

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "privatepulse.h"
#include "sinkrecorder.h"
#include "skiporfail.h"
#include "tonetools.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace nk;
using namespace nk::testkit;
using namespace Qt::StringLiterals;

namespace {

constexpr int toneMs = 300;
constexpr double amplitude = 0.5;
constexpr int present = int(0.1 * amplitude * 32767);
constexpr int hearingWithinMs = 5000;

} // namespace

class TestSoundServer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void serverStartsAfterProgram();
    void serverRestartedMidRun();

private:
    bool startServer();
    bool heardWithin(NotePlayer &player, int ms);

    PrivatePulse m_pulse;
    QTemporaryDir m_base;
    QTemporaryDir m_links;
    std::unique_ptr<SinkRecorder> m_recorder;
};

void TestSoundServer::initTestCase()
{
    if (const QString missing = PrivatePulse::missingTools(); !missing.isEmpty())
        NK_SKIP_OR_FAIL(missing);
    QLoggingCategory::setFilterRules(u"notoklyuv.audio.warning=false"_s);
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const QString relative = NotePlayer::noteRelativePath(u"piano"_s, octave, pitch);
            const QString path = m_base.filePath(QString(relative).replace(u'\\', u'/'));
            QVERIFY(writeToneWav(path, {noteFrequency(octave, pitch)}, toneMs, 300, amplitude));
        }
    }
}

void TestSoundServer::cleanupTestCase()
{
    m_recorder.reset();
    m_pulse.stop();
}

bool TestSoundServer::startServer()
{
    QString error;
    m_recorder.reset();
    if (!m_pulse.start(&error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    m_recorder = std::make_unique<SinkRecorder>();
    if (!m_recorder->start(PrivatePulse::monitorName(), &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    return true;
}

// A note played again and again, as a learner presses a key until it sounds.
bool TestSoundServer::heardWithin(NotePlayer &player, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        const qsizetype from = m_recorder->sampleCount();
        player.PlayNote(5, 9);
        m_recorder->waitForSamples(from + SampleRate * (toneMs + 200) / 1000, toneMs + 1000);
        if (firstLoudSample(m_recorder->samples(), from, present) >= 0)
            return true;
    }
    return false;
}

// Started before any sound server (the session's server comes up late): the
// learner is told once, and the notes sound once the server answers.
void TestSoundServer::serverStartsAfterProgram()
{
    const QString link = m_links.filePath(u"native"_s);
    qputenv("PULSE_SERVER", (u"unix:"_s + link).toLocal8Bit());
    NotePlayer player(BasePath(m_base.path()));
    QSignalSpy silenced(&player, &NotePlayer::silenced);
    for (int press = 0; press < 3; ++press) {
        player.PlayNote(5, 9);
        WaitMs(50);
    }
    QTRY_COMPARE(silenced.size(), 1);
    QCOMPARE(silenced.first().first().toString(), u"нет звукового сервера"_s);

    QVERIFY(startServer());
    QVERIFY(QFile::link(qEnvironmentVariable("PULSE_SERVER").mid(5), link));
    qputenv("PULSE_SERVER", (u"unix:"_s + link).toLocal8Bit());
    QVERIFY2(heardWithin(player, hearingWithinMs), "no note reached the sink");
    QCOMPARE(silenced.size(), 1);
}

// The server goes away under the program and comes back: the next notes are
// heard again, although Qt's audio stays tied to the server that went.
void TestSoundServer::serverRestartedMidRun()
{
    if (!m_recorder)
        QVERIFY(startServer());
    NotePlayer player(BasePath(m_base.path()));
    QSignalSpy silenced(&player, &NotePlayer::silenced);
    QVERIFY2(heardWithin(player, hearingWithinMs), "no note before the restart");
    m_recorder.reset();
    m_pulse.stop();
    player.PlayNote(5, 9);
    QTRY_COMPARE(silenced.size(), 1);
    QVERIFY(startServer());
    QVERIFY2(heardWithin(player, hearingWithinMs), "no note after the restart");
}

QTEST_MAIN(TestSoundServer)
#include "tst_soundserver.moc"
