#pragma once

#include <vector>

namespace nk {

// Measures a note's fundamental at its spectral peak. A piano's partials run
// sharp, so period-based methods read it high; the peak of the fundamental in
// a finely zero-padded spectrum does not.
class PitchMeter
{
public:
    // The frequency of the strongest peak within 60 cents of `expectedHz`,
    // measured over `lengthSec` seconds from `startSec`.
    static double peakFrequency(const std::vector<float> &samples, int rate, double expectedHz,
                                double startSec = 0.1, double lengthSec = 0.8);
    static double cents(double measuredHz, double expectedHz);
};

} // namespace nk
