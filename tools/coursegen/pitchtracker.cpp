#include "pitchtracker.h"

#include "pitchmeter.h"

#include <algorithm>
#include <cmath>

namespace nk {

namespace {

constexpr double kHopSeconds = 0.02;
constexpr double kShortestFrame = 0.08; // seconds
constexpr double kPeriodsPerFrame = 8.0;
constexpr double kSearchCents = 80.0;
constexpr double kQuietDb = -40.0; // frames this far below the loudest are not read
constexpr int kMaxPartial = 4;
constexpr int kSmoothFrames = 2; // on either side

double energy(const std::vector<float> &samples, size_t start, size_t length)
{
    double sum = 0.0;
    for (size_t i = start; i < start + length; ++i)
        sum += double(samples[i]) * samples[i];
    return sum;
}

// The partial that stands out most over the whole note.
int strongestPartial(const std::vector<float> &samples, int rate, double expectedHz)
{
    int best = 1;
    double bestLevel = -1.0;
    for (int k = 1; k <= kMaxPartial && k * expectedHz < 0.4 * rate; ++k) {
        const double f = PitchMeter::peakFrequency(samples, rate, k * expectedHz, 0.0, 0.0);
        const double level = PitchMeter::power(samples, rate, f, 0.0, 0.0);
        if (level > bestLevel)
            bestLevel = level, best = k;
    }
    return best;
}

std::vector<double> smoothed(const std::vector<double> &v)
{
    std::vector<double> out(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        const size_t a = i >= kSmoothFrames ? i - kSmoothFrames : 0;
        const size_t b = std::min(v.size() - 1, i + kSmoothFrames);
        std::vector<double> window(v.begin() + long(a), v.begin() + long(b) + 1);
        std::nth_element(window.begin(), window.begin() + long(window.size() / 2), window.end());
        out[i] = window[window.size() / 2];
    }
    return out;
}

} // namespace

std::vector<double> PitchTracker::deviation(const std::vector<float> &samples, int rate,
                                            double expectedHz)
{
    const int partial = strongestPartial(samples, rate, expectedHz);
    const double target = partial * expectedHz;
    const size_t frame =
        size_t(std::max(kShortestFrame, kPeriodsPerFrame / expectedHz) * double(rate));
    const size_t hop = size_t(kHopSeconds * rate);
    if (samples.size() < frame)
        return std::vector<double>(samples.size(), 0.0);
    std::vector<double> centres, cents, energies;
    for (size_t start = 0; start + frame <= samples.size(); start += hop) {
        centres.push_back(double(start) + 0.5 * double(frame));
        energies.push_back(energy(samples, start, frame));
        const double f = PitchMeter::peakFrequency(samples, rate, target, double(start) / rate,
                                                   double(frame) / rate, kSearchCents);
        cents.push_back(PitchMeter::cents(f, target));
    }
    const double loudest = *std::max_element(energies.begin(), energies.end());
    const double floor = loudest * std::pow(10.0, kQuietDb / 10.0);
    // Quiet frames take the reading of the loud one before them; those before
    // the first loud frame, its reading.
    const size_t firstLoud = size_t(
        std::find_if(energies.begin(), energies.end(), [floor](double e) { return e >= floor; }) -
        energies.begin());
    for (size_t i = 0; i < cents.size(); ++i)
        if (i < firstLoud)
            cents[i] = cents[firstLoud];
        else if (energies[i] < floor)
            cents[i] = cents[i - 1];
    cents = smoothed(cents);
    std::vector<double> out(samples.size());
    size_t k = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        while (k + 1 < centres.size() && centres[k + 1] <= double(i))
            ++k;
        if (double(i) <= centres.front() || k + 1 >= centres.size()) {
            out[i] = double(i) <= centres.front() ? cents.front() : cents.back();
            continue;
        }
        const double t = (double(i) - centres[k]) / (centres[k + 1] - centres[k]);
        out[i] = cents[k] + t * (cents[k + 1] - cents[k]);
    }
    return out;
}

} // namespace nk
