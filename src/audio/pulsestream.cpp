#include "audio/pulsestream.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace nk {

PulseStream::PulseStream(pa_simple *stream, qsizetype bufferBytes, int bytesPerSecond)
    : m_stream(stream), m_bufferBytes(bufferBytes), m_bytesPerSecond(bytesPerSecond)
{
}

PulseStream::~PulseStream()
{
    pa_simple_free(m_stream);
}

std::unique_ptr<PulseStream> PulseStream::open(int rate, int channels, qsizetype bufferBytes,
                                               QString *error)
{
    pa_sample_spec sample{};
    sample.format = PA_SAMPLE_S16LE;
    sample.rate = uint32_t(rate);
    sample.channels = uint8_t(channels);
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(bufferBytes);
    // Playback starts with the first top-up, however short, as Qt's does.
    attr.prebuf = uint32_t(channels * 2);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    int code = 0;
    pa_simple *stream = pa_simple_new(nullptr, "Нотоклюв", PA_STREAM_PLAYBACK, nullptr, "notes",
                                      &sample, nullptr, &attr, &code);
    if (!stream) {
        if (error)
            *error = QString::fromUtf8(pa_strerror(code));
        return nullptr;
    }
    return std::unique_ptr<PulseStream>(new PulseStream(stream, bufferBytes, rate * channels * 2));
}

qsizetype PulseStream::bytesFree() const
{
    int code = 0;
    const pa_usec_t latency = pa_simple_get_latency(m_stream, &code);
    if (latency == pa_usec_t(-1))
        return 0;
    const auto held = qsizetype(latency * pa_usec_t(m_bytesPerSecond) / 1000000);
    return std::max<qsizetype>(0, m_bufferBytes - held);
}

bool PulseStream::write(const char *data, qsizetype bytes)
{
    int code = 0;
    return pa_simple_write(m_stream, data, size_t(bytes), &code) == 0;
}

} // namespace nk
