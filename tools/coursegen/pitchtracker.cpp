#include "pitchtracker.h"

#include "pitchmeter.h"

#include <algorithm>
#include <cmath>

namespace nk {

namespace {

constexpr double kHopSeconds = 0.02;
constexpr double kShortestFrame = 0.08; // seconds
constexpr double kPeriodsPerFrame = 8.0;
constexpr double kTrackSearchCents = 80.0;
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

struct Frames
{
    std::vector<double> centres, energies, cents; // centres in samples
};

// Quiet frames take the reading of the loud one before them; those before the
// first loud frame, its reading.
void holdOverQuietFrames(Frames &frames)
{
    const double loudest = *std::max_element(frames.energies.begin(), frames.energies.end());
    const double floor = loudest * std::pow(10.0, kQuietDb / 10.0);
    const auto loud = [floor](double e) { return e >= floor; };
    const size_t firstLoud =
        size_t(std::find_if(frames.energies.begin(), frames.energies.end(), loud) -
               frames.energies.begin());
    for (size_t i = 0; i < frames.cents.size(); ++i)
        if (i < firstLoud)
            frames.cents[i] = frames.cents[firstLoud];
        else if (!loud(frames.energies[i]))
            frames.cents[i] = frames.cents[i - 1];
}

// Linear between the frames' centres, held beyond the first and the last.
std::vector<double> perSample(const Frames &frames, size_t count)
{
    const std::vector<double> &at = frames.centres, &cents = frames.cents;
    std::vector<double> out(count);
    size_t k = 0;
    for (size_t i = 0; i < count; ++i) {
        while (k + 1 < at.size() && at[k + 1] <= double(i))
            ++k;
        if (double(i) <= at.front() || k + 1 >= at.size())
            out[i] = double(i) <= at.front() ? cents.front() : cents.back();
        else
            out[i] =
                cents[k] + (double(i) - at[k]) / (at[k + 1] - at[k]) * (cents[k + 1] - cents[k]);
    }
    return out;
}

} // namespace

std::vector<double> PitchTracker::deviation(const std::vector<float> &samples, int rate,
                                            double expectedHz)
{
    const double target = strongestPartial(samples, rate, expectedHz) * expectedHz;
    const size_t frame =
        size_t(std::max(kShortestFrame, kPeriodsPerFrame / expectedHz) * double(rate));
    const size_t hop = size_t(kHopSeconds * rate);
    if (samples.size() < frame)
        return std::vector<double>(samples.size(), 0.0);
    Frames frames;
    for (size_t start = 0; start + frame <= samples.size(); start += hop) {
        frames.centres.push_back(double(start) + 0.5 * double(frame));
        frames.energies.push_back(energy(samples, start, frame));
        const double f = PitchMeter::peakFrequency(samples, rate, target, double(start) / rate,
                                                   double(frame) / rate, kTrackSearchCents);
        frames.cents.push_back(PitchMeter::cents(f, target));
    }
    holdOverQuietFrames(frames);
    frames.cents = smoothed(frames.cents);
    return perSample(frames, samples.size());
}

} // namespace nk
