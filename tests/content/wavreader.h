#pragma once

#include <QString>
#include <vector>

namespace nk {

// Reads a RIFF WAVE file's format and, for 16-bit PCM, its samples mixed to mono.
class WavReader
{
public:
    explicit WavReader(const QString &path);

    bool isValid() const { return m_valid; }
    int formatTag() const { return m_formatTag; }
    int channels() const { return m_channels; }
    int sampleRate() const { return m_rate; }
    int bitsPerSample() const { return m_bits; }
    const std::vector<float> &mono() const { return m_mono; }

private:
    bool m_valid = false;
    int m_formatTag = 0;
    int m_channels = 0;
    int m_rate = 0;
    int m_bits = 0;
    std::vector<float> m_mono;
};

} // namespace nk
