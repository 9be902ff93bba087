#pragma once

#include <vector>

namespace nk::bench {

// Order statistics of a series of times, printed as the other benchmark
// programs print theirs.
class Figures
{
public:
    static double percentile(std::vector<double> values, double p);
    static void print(const char *what, const std::vector<double> &ms);
};

} // namespace nk::bench
