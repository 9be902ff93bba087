#include "pitchmeter.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace nk {

namespace {

// Fine enough that the parabola through the top three bins is exact to well
// under a tenth of a cent even for the small octave's ДО (130.8 Hz).
constexpr int kFftSize = 1 << 19;

void fft(std::vector<std::complex<double>> &a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * std::numbers::pi / double(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0, 0.0);
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k];
                const std::complex<double> v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

} // namespace

double PitchMeter::peakFrequency(const std::vector<float> &samples, int rate, double expectedHz,
                                 double startSec, double lengthSec)
{
    const size_t start = size_t(startSec * rate);
    const size_t length = std::min(size_t(lengthSec * rate), samples.size() - start);
    std::vector<std::complex<double>> buffer(kFftSize);
    for (size_t i = 0; i < length; ++i) {
        const double hann =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(length - 1));
        buffer[i] = samples[start + i] * hann;
    }
    fft(buffer);
    const double binHz = double(rate) / kFftSize;
    const int low = int(expectedHz * std::pow(2.0, -60.0 / 1200.0) / binHz);
    const int high = int(expectedHz * std::pow(2.0, 60.0 / 1200.0) / binHz) + 1;
    int best = low;
    for (int k = low; k <= high; ++k)
        if (std::abs(buffer[k]) > std::abs(buffer[best]))
            best = k;
    const double a = std::log(std::abs(buffer[best - 1]) + 1e-30);
    const double b = std::log(std::abs(buffer[best]) + 1e-30);
    const double c = std::log(std::abs(buffer[best + 1]) + 1e-30);
    const double offset = 0.5 * (a - c) / (a - 2.0 * b + c);
    return (best + offset) * binHz;
}

double PitchMeter::cents(double measuredHz, double expectedHz)
{
    return 1200.0 * std::log2(measuredHz / expectedHz);
}

} // namespace nk
