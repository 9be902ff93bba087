#pragma once

#include <vector>

namespace nk {

// Band-limited resampling at a rate that may change from sample to sample, used
// to move a rendered note to its exact pitch: reading the input `rate` times as
// fast raises every partial by that factor at that moment.
class Resampler
{
public:
    // Output sample i is the input read at position sum(rates[0..i-1]); input
    // beyond the end reads as silence. The output has rates.size() samples.
    static std::vector<float> warp(const std::vector<float> &input,
                                   const std::vector<double> &rates);
};

} // namespace nk
