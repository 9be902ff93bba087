#include "audio/pcmclip.h"

#include <cmath>

namespace nk {

namespace {

PcmClip remapChannels(const PcmClip &clip, int channels)
{
    if (clip.channels == channels)
        return clip;
    PcmClip out{clip.rate, channels, {}};
    const qsizetype frames = clip.frames();
    out.samples.resize(std::size_t(frames * channels));
    for (qsizetype f = 0; f < frames; ++f) {
        const qint16 *in = clip.samples.data() + f * clip.channels;
        qint16 *to = out.samples.data() + f * channels;
        if (channels == 1) {
            int sum = 0;
            for (int c = 0; c < clip.channels; ++c)
                sum += in[c];
            to[0] = qint16(sum / clip.channels);
            continue;
        }
        for (int c = 0; c < channels; ++c)
            to[c] = in[c % clip.channels];
    }
    return out;
}

PcmClip resample(const PcmClip &clip, int rate)
{
    if (clip.rate == rate || clip.frames() == 0)
        return PcmClip{rate, clip.channels, clip.samples};
    const qsizetype inFrames = clip.frames();
    const auto outFrames = qsizetype(double(inFrames) * rate / clip.rate);
    PcmClip out{rate, clip.channels, {}};
    out.samples.resize(std::size_t(outFrames * clip.channels));
    const double step = double(clip.rate) / rate;
    for (qsizetype f = 0; f < outFrames; ++f) {
        const double at = double(f) * step;
        const auto left = std::min(qsizetype(at), inFrames - 1);
        const qsizetype right = std::min(left + 1, inFrames - 1);
        const double weight = at - double(left);
        for (int c = 0; c < clip.channels; ++c) {
            const double a = clip.samples[std::size_t(left * clip.channels + c)];
            const double b = clip.samples[std::size_t(right * clip.channels + c)];
            out.samples[std::size_t(f * clip.channels + c)] =
                qint16(std::lround(a + (b - a) * weight));
        }
    }
    return out;
}

} // namespace

PcmClip convertClip(const PcmClip &clip, int rate, int channels)
{
    if (clip.channels <= 0 || rate <= 0 || channels <= 0)
        return PcmClip{rate, channels, {}};
    return resample(remapChannels(clip, channels), rate);
}

} // namespace nk
