#pragma once

#include <vector>

namespace nk {

// Measures a note's fundamental at its spectral peak. A piano's partials run
// sharp, so period-based methods read it high; the peak of the fundamental in
// the spectrum does not. The spectrum (Hann window) is evaluated only near the
// expected frequency: a scan at half the main lobe's width, then a golden-section
// search for the maximum, which is far cheaper than a finely padded FFT.
class PitchMeter
{
public:
    struct Peak
    {
        double hz = 0.0;
        // How far the next highest peak in the range lies below it: where two
        // are about as high, the reading is fragile.
        double marginDb = 0.0;
    };
    static Peak measure(const std::vector<float> &samples, int rate, double aroundHz,
                        double startSec, double lengthSec, double searchCents = 60.0);
    // The frequency of the strongest peak within `searchCents` of `aroundHz`,
    // measured over `lengthSec` seconds from `startSec` (a length of 0 or one
    // running past the end: up to the end).
    static double peakFrequency(const std::vector<float> &samples, int rate, double aroundHz,
                                double startSec, double lengthSec, double searchCents = 60.0);
    // |X(f)|^2 of the same Hann-windowed stretch.
    static double power(const std::vector<float> &samples, int rate, double hz, double startSec,
                        double lengthSec);
    static double cents(double measuredHz, double expectedHz);
};

} // namespace nk
