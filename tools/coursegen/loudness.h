#pragma once

#include <vector>

namespace nk {

// EBU R128 integrated loudness (libebur128) of mono 44.1 kHz sounds, and the
// gain that brings a sound to a target. The measurement gates out quiet
// blocks, and a decaying tail crosses the absolute gate at a level that moves
// with the gain; so a sound is scaled, measured again and scaled once more.
class Loudness
{
public:
    // In LUFS; -HUGE_VAL for silence.
    static double integrated(const std::vector<float> &samples, int rate);
    static double peak(const std::vector<float> &samples);
    // Scales the samples to `targetLufs`; returns the loudness reached.
    static double normalise(std::vector<float> &samples, int rate, double targetLufs);
};

} // namespace nk
