#pragma once

#include "privatepulse.h"
#include "sinkrecorder.h"

#include <functional>
#include <optional>

namespace nk::bench {

// A private PulseAudio null sink whose monitor is recorded, to time a sound
// from the moment it is asked for to its first sample at the sink. Every
// delivery of the recorder is stamped and a sample's time is bounded by the
// least delayed delivery that held it, so the figures include the recorder's
// own smallest delay; the sink renders ahead in blocks of a few milliseconds,
// so a very short time can come out slightly negative.
class RecordedSink
{
public:
    // Also fails, saying what is missing, when the sound tools are not installed.
    bool start(QString *error);

    // Milliseconds from running `action` to the first sound, waiting up to
    // `waitMs` for it; nothing if none came.
    std::optional<double> timeToSound(const std::function<void()> &action, int waitMs = 500);

    // A short tone for each note of the keyboard's three octaves, as the piano
    // recordings of a program folder at `base`.
    static bool writeToneNotes(const QString &base);

    testkit::PrivatePulse &server() { return m_pulse; }
    testkit::SinkRecorder &recorder() { return m_recorder; }

private:
    testkit::PrivatePulse m_pulse;
    testkit::SinkRecorder m_recorder;
};

} // namespace nk::bench
