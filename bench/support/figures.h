#pragma once

#include <vector>

namespace nk::bench {

// Order statistics of a series of times, printed as the other benchmark
// programs print theirs.
class Figures
{
public:
    static double percentile(std::vector<double> values, double p);
    // One line of a table: count, median, p95 and maximum.
    static void print(const char *what, const std::vector<double> &ms);
    // A heading naming what was counted ("plays", "presses"), then median,
    // p95, minimum and maximum at the given precision.
    static void printSpread(const char *what, const char *counted, const std::vector<double> &ms,
                            int decimals = 1);
};

} // namespace nk::bench
