#pragma once

#include <QString>
#include <memory>

class QObject;

namespace nk {

class SharedMix;

// How the sound output trades latency against safety and idle work.
struct SoundTiming
{
    int bufferMs = 100;      // what the sound server may hold: long enough never to run dry
    int tickMs = 4;          // how often the buffer is checked
    int closeAfterMs = 1000; // silence after which the stream is closed
    int retryAfterMs = 2000; // an output that failed to open is not retried sooner
};

// What the sound output feeds: a stream to the sound server, living in the
// sound thread as a QObject with the signals silenced(QString) and audible().
// The output knows it only through this, since the program finds its maker in
// the device plug-in (see DevicePlugin).
class SoundSink
{
public:
    static constexpr int Rate = 44100;
    static constexpr int Channels = 1;

    virtual ~SoundSink() = default;
    virtual QObject *object() = 0;
    // Something new is in the mixer, or it was cleared: called in the sink's thread.
    virtual void wake() = 0;
};

using SoundSinkMaker = SoundSink *(*)(SoundTiming timing, std::shared_ptr<SharedMix> mix);

} // namespace nk
