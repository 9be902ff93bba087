#include "resampler.h"

#include <array>
#include <cmath>
#include <numbers>

namespace nk {

namespace {

constexpr int kTaps = 16; // input samples per output sample
constexpr int kPhases = 1024;

// A Blackman-windowed sinc tabulated at kPhases fractional positions: its
// passband reaches well past every partial that matters here.
struct Kernel
{
    std::vector<std::array<float, kTaps>> table;

    Kernel() : table(kPhases + 1)
    {
        for (int p = 0; p <= kPhases; ++p) {
            const double frac = double(p) / kPhases;
            for (int k = 0; k < kTaps; ++k) {
                const double t = double(k - kTaps / 2 + 1) - frac;
                const double sinc =
                    t == 0.0 ? 1.0 : std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
                const double u = (t + kTaps / 2) / kTaps; // 0..1 across the window
                const double w = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * u) +
                                 0.08 * std::cos(4 * std::numbers::pi * u);
                table[size_t(p)][size_t(k)] = float(sinc * w);
            }
        }
    }
};

const Kernel &kernel()
{
    static const Kernel k;
    return k;
}

} // namespace

std::vector<float> Resampler::warp(const std::vector<float> &input,
                                   const std::vector<double> &rates)
{
    const Kernel &h = kernel();
    const long long size = (long long)input.size();
    std::vector<float> out(rates.size());
    double position = 0.0;
    for (size_t i = 0; i < rates.size(); ++i) {
        const double whole = std::floor(position);
        const auto &taps = h.table[size_t(std::lround((position - whole) * kPhases))];
        const long long first = (long long)whole - kTaps / 2 + 1;
        double sum = 0.0;
        if (first >= 0 && first + kTaps <= size) {
            for (int k = 0; k < kTaps; ++k)
                sum += double(taps[size_t(k)]) * input[size_t(first + k)];
        } else {
            for (int k = 0; k < kTaps; ++k)
                if (first + k >= 0 && first + k < size)
                    sum += double(taps[size_t(k)]) * input[size_t(first + k)];
        }
        out[i] = float(sum);
        position += rates[i];
    }
    return out;
}

} // namespace nk
