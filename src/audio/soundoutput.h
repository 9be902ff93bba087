#pragma once

#include "audio/sharedmix.h"
#include "audio/soundsink.h"

#include <QObject>
#include <memory>

class QThread;

namespace nk {

// The program's sound output: a stream to the sound server fed from a mixer
// on a thread of its own, so a busy window never starves it. Every new sound
// starts a fresh stream, whose empty buffer lets it be heard within a few
// milliseconds while the buffer itself stays long enough not to run dry on a
// busy machine. A stream left silent for a while is closed, so an idle
// program costs the sound server nothing.
//
// Without a sound server everything stays silent and nothing blocks; the
// output is tried again at a later sound.
class SoundOutput : public QObject
{
    Q_OBJECT
public:
    explicit SoundOutput(SoundTiming timing = {}, QObject *parent = nullptr);
    ~SoundOutput() override;

    static constexpr int Rate = SoundSink::Rate;
    static constexpr int Channels = SoundSink::Channels;

    // A clip in the output's rate and channel count (see convertClip), at
    // once, cutting whatever sounds.
    void play(std::shared_ptr<const PcmClip> clip);
    // Silence at once: the stream and what it holds are dropped.
    void stopAll();

    // For the benchmark: how often the output found the server's buffer
    // empty while feeding, and closed its stream for silence.
    int underruns() const { return m_mix->underruns; }
    int closes() const { return m_mix->closes; }

Q_SIGNALS:
    // No sound can be heard, and why (once, until the output opens again).
    void silenced(const QString &why);
    void audible(); // sound can be heard again

private:
    static SoundSink *makeSink(SoundTiming timing, std::shared_ptr<SharedMix> mix);
    void wakeFeeder();

    std::shared_ptr<SharedMix> m_mix;
    QThread *m_thread;
    SoundSink *m_sink; // null when there is no sound output to make
};

} // namespace nk
