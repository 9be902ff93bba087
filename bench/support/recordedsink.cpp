#include "recordedsink.h"

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "tonetools.h"

namespace nk::bench {

namespace {

constexpr int silentBelow = 32; // the null sink is digitally silent between sounds

} // namespace

bool RecordedSink::start(QString *error)
{
    if (const QString missing = testkit::PrivatePulse::missingTools(); !missing.isEmpty()) {
        *error = missing;
        return false;
    }
    return m_pulse.start(error) && m_recorder.start(testkit::PrivatePulse::monitorName(), error);
}

std::optional<double> RecordedSink::timeToSound(const std::function<void()> &action, int waitMs)
{
    const qsizetype from = m_recorder.sampleCount();
    const qint64 startedAt = m_recorder.nowNs();
    action();
    WaitMs(waitMs);
    m_recorder.waitForSamples(from + qsizetype(testkit::SampleRate) * waitMs / 1000);
    const qsizetype onset = testkit::firstLoudSample(m_recorder.samples(), from, silentBelow);
    if (onset < 0)
        return std::nullopt;
    return double(m_recorder.sampleTimeNs(onset) - startedAt) / 1e6;
}

bool RecordedSink::writeToneNotes(const QString &base)
{
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            QString relative = NotePlayer::noteRelativePath(QStringLiteral("piano"), octave, pitch);
            relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (!testkit::writeToneWav(base + QLatin1Char('/') + relative,
                                       {testkit::noteFrequency(octave, pitch)}, 200, 300))
                return false;
        }
    }
    return true;
}

} // namespace nk::bench
