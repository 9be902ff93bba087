#pragma once

#include <QByteArray>
#include <vector>

namespace nk {

// 16-bit PCM mono WAV: the one format every sound player of the program takes.
class WavWriter
{
public:
    static QByteArray encode(const std::vector<float> &samples, int rate);
};

} // namespace nk
