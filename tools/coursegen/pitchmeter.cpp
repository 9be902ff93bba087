#include "pitchmeter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <utility>

namespace nk {

namespace {

constexpr size_t kBatch = 8;
constexpr size_t kRefinedMaxima = 3;
constexpr double kNoRivalDb = 99.0;
const double kRivalShare = std::pow(10.0, -1.0 / 10.0); // 1 dB

std::vector<double> windowed(const std::vector<float> &samples, size_t start, size_t length)
{
    std::vector<double> x(length);
    for (size_t i = 0; i < length; ++i)
        x[i] = samples[start + i] *
               (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(length - 1)));
    return x;
}

// |X(f)|^2 at up to kBatch frequencies at once (Goertzel); the inner loop runs
// across the frequencies so that it vectorises.
void powerBatch(const std::vector<double> &x, const double *omega, size_t count, double *out)
{
    std::array<double, kBatch> c{}, s1{}, s2{};
    for (size_t j = 0; j < count; ++j)
        c[j] = 2.0 * std::cos(omega[j]);
    for (const double v : x)
        for (size_t j = 0; j < kBatch; ++j) {
            const double s0 = v + c[j] * s1[j] - s2[j];
            s2[j] = s1[j];
            s1[j] = s0;
        }
    for (size_t j = 0; j < count; ++j)
        out[j] = s1[j] * s1[j] + s2[j] * s2[j] - c[j] * s1[j] * s2[j];
}

double powerAt(const std::vector<double> &x, double omega)
{
    const double c = 2.0 * std::cos(omega);
    double s1 = 0.0, s2 = 0.0;
    for (const double v : x) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

std::vector<double> stretch(const std::vector<float> &samples, int rate, double startSec,
                            double lengthSec)
{
    const size_t start = std::min(samples.size(), size_t(startSec * rate));
    size_t length = samples.size() - start;
    if (lengthSec > 0.0)
        length = std::min(length, size_t(lengthSec * rate));
    return length < 16 ? std::vector<double>() : windowed(samples, start, length);
}

// The maximum of the power between two frequencies (golden-section search).
std::pair<double, double> refine(const std::vector<double> &x, double a, double b)
{
    const double ratio = 0.5 * (std::sqrt(5.0) - 1.0);
    const double tolerance = b * 1e-6;
    double m1 = b - ratio * (b - a), m2 = a + ratio * (b - a);
    double p1 = powerAt(x, m1), p2 = powerAt(x, m2);
    while (b - a > tolerance) {
        if (p1 > p2) {
            b = m2, m2 = m1, p2 = p1;
            m1 = b - ratio * (b - a), p1 = powerAt(x, m1);
        } else {
            a = m1, m1 = m2, p1 = p2;
            m2 = a + ratio * (b - a), p2 = powerAt(x, m2);
        }
    }
    const double top = 0.5 * (a + b);
    return {powerAt(x, top), top};
}

} // namespace

double PitchMeter::power(const std::vector<float> &samples, int rate, double hz, double startSec,
                         double lengthSec)
{
    const std::vector<double> x = stretch(samples, rate, startSec, lengthSec);
    return x.empty() ? 0.0 : powerAt(x, 2.0 * std::numbers::pi * hz / rate);
}

double PitchMeter::peakFrequency(const std::vector<float> &samples, int rate, double aroundHz,
                                 double startSec, double lengthSec, double searchCents)
{
    return measure(samples, rate, aroundHz, startSec, lengthSec, searchCents).hz;
}

// The scan finds the local maxima; the strongest few are refined, as the scan
// may sample a slightly higher peak a little below its top.
PitchMeter::Peak PitchMeter::measure(const std::vector<float> &samples, int rate, double aroundHz,
                                     double startSec, double lengthSec, double searchCents)
{
    const std::vector<double> x = stretch(samples, rate, startSec, lengthSec);
    if (x.empty())
        return {};
    const double toOmega = 2.0 * std::numbers::pi / rate;
    const double step = 0.5 * rate / double(x.size()); // half a bin, in Hz
    const double low = aroundHz * std::pow(2.0, -searchCents / 1200.0);
    const double high = aroundHz * std::pow(2.0, searchCents / 1200.0);
    std::vector<double> grid;
    for (double f = low; f <= high + step; f += step)
        grid.push_back(f * toOmega);
    std::vector<double> p(grid.size());
    for (size_t i = 0; i < grid.size(); i += kBatch)
        powerBatch(x, grid.data() + i, std::min(kBatch, grid.size() - i), p.data() + i);
    std::vector<size_t> maxima;
    for (size_t i = 0; i < p.size(); ++i)
        if ((i == 0 || p[i] >= p[i - 1]) && (i + 1 == p.size() || p[i] > p[i + 1]))
            maxima.push_back(i);
    std::sort(maxima.begin(), maxima.end(), [&p](size_t a, size_t b) { return p[a] > p[b]; });
    // The scan samples a peak at most a quarter bin from its top, which costs
    // a Hann window under half a decibel: rivals further down cannot win.
    size_t refined = 1;
    while (refined < std::min(kRefinedMaxima, maxima.size()) &&
           p[maxima[refined]] > p[maxima[0]] * kRivalShare)
        ++refined;
    std::vector<std::pair<double, double>> tops; // power, omega
    for (size_t m = 0; m < refined; ++m)
        tops.push_back(refine(x, grid[maxima[m] > 0 ? maxima[m] - 1 : 0],
                              grid[std::min(maxima[m] + 1, grid.size() - 1)]));
    std::sort(tops.begin(), tops.end(), std::greater<>());
    Peak peak{tops[0].second / toOmega, kNoRivalDb};
    if (tops.size() > 1 && tops[1].first > 0.0)
        peak.marginDb = 10.0 * std::log10(tops[0].first / tops[1].first);
    else if (maxima.size() > 1 && p[maxima[1]] > 0.0)
        peak.marginDb = 10.0 * std::log10(tops[0].first / p[maxima[1]]);
    return peak;
}

double PitchMeter::cents(double measuredHz, double expectedHz)
{
    return 1200.0 * std::log2(measuredHz / expectedHz);
}

} // namespace nk
