#include "figures.h"

#include <algorithm>
#include <cstdio>

namespace nk::bench {

double Figures::percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void Figures::print(const char *what, const std::vector<double> &ms)
{
    if (ms.empty()) {
        std::printf("%s: no samples\n", what);
        return;
    }
    std::printf("%-34s %5zu samples: median %7.3f ms, p95 %7.3f ms, max %7.3f ms\n", what,
                ms.size(), percentile(ms, 0.5), percentile(ms, 0.95),
                *std::max_element(ms.begin(), ms.end()));
}

void Figures::printSpread(const char *what, const char *counted, const std::vector<double> &ms,
                          int decimals)
{
    std::printf("%s, %zu %s:\n", what, ms.size(), counted);
    if (ms.empty())
        return;
    std::printf("  median %.*f ms, 95th percentile %.*f ms, min %.*f ms, max %.*f ms\n", decimals,
                percentile(ms, 0.5), decimals, percentile(ms, 0.95), decimals,
                *std::min_element(ms.begin(), ms.end()), decimals,
                *std::max_element(ms.begin(), ms.end()));
}

} // namespace nk::bench
