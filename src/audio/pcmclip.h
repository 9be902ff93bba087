#pragma once

#include <QtGlobal>
#include <vector>

namespace nk {

// A decoded sound: interleaved signed 16-bit samples.
struct PcmClip
{
    int rate = 0;
    int channels = 0;
    std::vector<qint16> samples;

    qsizetype frames() const { return channels > 0 ? qsizetype(samples.size()) / channels : 0; }
};

// The clip at another rate and channel count. Channels are duplicated from
// mono or averaged into mono; between other counts each output channel takes
// the input channel of its number, wrapping round. The rate is changed by
// linear interpolation: the recordings already match the output's rate, so this
// only serves the odd file that does not.
PcmClip convertClip(const PcmClip &clip, int rate, int channels);

} // namespace nk
