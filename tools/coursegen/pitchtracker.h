#pragma once

#include <vector>

namespace nk {

// Follows a sampled note's pitch through time, so that its drift (a pipe
// settling, a choir sagging) can be taken out before the note is tuned as a
// whole. It follows the strongest of the first partials, as some voices
// (a choir's "ahh") carry little of the fundamental.
class PitchTracker
{
public:
    // The note's deviation from `expectedHz` in cents at every sample, smoothed;
    // where the note is too quiet to tell, the nearest reading holds.
    static std::vector<double> deviation(const std::vector<float> &samples, int rate,
                                         double expectedHz);
};

} // namespace nk
