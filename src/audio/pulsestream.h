#pragma once

#include <QString>
#include <memory>

struct pa_simple;

namespace nk {

// A playback stream straight to the PulseAudio server, for when Qt's audio
// layer cannot be used again: Qt 6.4 stays tied to the server it met first,
// and after that one is restarted every one of its outputs is silent.
class PulseStream
{
public:
    // Null when no server takes the stream; *error then says why.
    static std::unique_ptr<PulseStream> open(int rate, int channels, qsizetype bufferBytes,
                                             QString *error);
    ~PulseStream();
    PulseStream(const PulseStream &) = delete;
    PulseStream &operator=(const PulseStream &) = delete;

    qsizetype bufferSize() const { return m_bufferBytes; }
    // What can be written without waiting: the buffer less what the server holds.
    qsizetype bytesFree() const;
    // False when the server has gone.
    bool write(const char *data, qsizetype bytes);

private:
    PulseStream(pa_simple *stream, qsizetype bufferBytes, int bytesPerSecond);

    pa_simple *m_stream;
    qsizetype m_bufferBytes;
    int m_bytesPerSecond;
};

} // namespace nk
