#include "notetuner.h"

#include "pitchmeter.h"
#include "pitchtracker.h"
#include "resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nk {

namespace {

constexpr int kRate = SynthRenderer::kRate;
constexpr int kRounds = 6;
constexpr double kSearchCents = NoteTuner::kSearchCents;
constexpr double kNarrowSearchCents = 15.0;
constexpr double kNearCents = 5.0;
constexpr double kScanStepCents = 4.0;
// Corrections ramp over this time, outside the early window, so that the
// window itself is read at one rate.
constexpr double kRampSeconds = 0.05;
constexpr double kMaxSpreadCents = 80.0;
// The layers are kept longer than the file's sound, as the mix is resampled again.
constexpr double kLayerSeconds = NoteTuner::kSoundSeconds + 0.1;

double searchFor(double lastCents)
{
    return std::fabs(lastCents) < kNearCents ? kNarrowSearchCents : kSearchCents;
}

double raisedCosine(double x)
{
    return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(x, 0.0, 1.0));
}

} // namespace

NoteTuner::NoteTuner(double expectedHz) : m_expected(expectedHz) {}

std::vector<float> NoteTuner::shaped(std::vector<float> samples)
{
    samples.resize(size_t(kSoundSeconds * kRate), 0.0f);
    const size_t fadeStart = size_t((kSoundSeconds - kFadeSeconds) * kRate);
    for (size_t i = fadeStart; i < samples.size(); ++i) {
        const double t = double(i - fadeStart) / double(samples.size() - fadeStart);
        samples[i] *= float(0.5 + 0.5 * std::cos(std::numbers::pi * t));
    }
    samples.resize(samples.size() + size_t(kSilenceSeconds * kRate), 0.0f);
    return samples;
}

std::vector<float> NoteTuner::corrected(const std::vector<float> &samples,
                                        const std::vector<double> &drift, Correction c,
                                        double seconds) const
{
    std::vector<double> rates(size_t(seconds * kRate));
    for (size_t i = 0; i < rates.size(); ++i) {
        const double t = double(i) / kRate;
        const double inside = raisedCosine((t - kEarlyStart + kRampSeconds) / kRampSeconds) *
                              raisedCosine((kEarlyEnd + kRampSeconds - t) / kRampSeconds);
        const double base = drift.empty() ? 0.0 : -drift[std::min(i, drift.size() - 1)];
        rates[i] = std::exp2((base + c.rest + inside * (c.early - c.rest)) / 1200.0);
    }
    return Resampler::warp(samples, rates);
}

// How much of the whole-file measurement the early window carries: its share
// of the Hann-weighted energy.
double NoteTuner::earlyShare(const std::vector<float> &samples) const
{
    double inside = 0.0, all = 0.0;
    const double n = double(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const double w = std::sin(std::numbers::pi * double(i) / n);
        const double e = double(samples[i]) * samples[i] * w * w * w * w;
        all += e;
        const double t = double(i) / kRate;
        if (t >= kEarlyStart && t < kEarlyEnd)
            inside += e;
    }
    return all > 0.0 ? inside / all : 0.5;
}

NoteTuner::Reading NoteTuner::read(const std::vector<float> &file, double earlySearchCents,
                                   double wholeSearchCents) const
{
    const PitchMeter::Peak early = PitchMeter::measure(file, kRate, m_expected, kEarlyStart,
                                                       kEarlyEnd - kEarlyStart, earlySearchCents);
    const PitchMeter::Peak whole =
        PitchMeter::measure(file, kRate, m_expected, 0.0, 0.0, wholeSearchCents);
    return {PitchMeter::cents(early.hz, m_expected), PitchMeter::cents(whole.hz, m_expected),
            std::min(early.marginDb, whole.marginDb)};
}

// Newton steps on the two corrections, taking the early window's share of the
// whole-file reading for the slope. A window that read close to the goal is
// next looked at near the goal only; the best step is read again in full.
NoteTuner::Attempt NoteTuner::converge(const std::vector<float> &samples,
                                       const std::vector<double> &drift, double seconds) const
{
    Attempt best{{}, 1e9};
    Correction c;
    Reading r{kSearchCents, kSearchCents};
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<float> file = shaped(corrected(samples, drift, c, seconds));
        r = read(file, searchFor(r.early), searchFor(r.whole));
        if (r.worst() < best.error)
            best = {c, r.worst()};
        if (best.error < kGoalCents)
            break;
        const double share = std::min(earlyShare(file), 0.8);
        c.early -= r.early;
        c.rest -= (r.whole - share * r.early) / (1.0 - share);
        c.rest = std::clamp(c.rest, c.early - kMaxSpreadCents, c.early + kMaxSpreadCents);
    }
    best.error = read(shaped(corrected(samples, drift, best.c, seconds))).worst();
    return best;
}

// Where the whole file's spectrum has several peaks of about one height (an
// ensemble), the reading jumps between them and Newton steps cycle: then the
// correction outside the early window is searched on a grid instead, coarse
// then fine, the early window read near the goal only (its correction stays).
NoteTuner::Attempt NoteTuner::scanRest(const std::vector<float> &samples,
                                       const std::vector<double> &drift, double seconds,
                                       Attempt from) const
{
    Attempt best = from;
    const auto tryOffset = [&](double offset) {
        const Correction c{from.c.early, from.c.early + offset};
        const Reading r = read(shaped(corrected(samples, drift, c, seconds)), kNarrowSearchCents);
        if (r.worst() < best.error)
            best = {c, r.worst()};
    };
    for (double offset = -kMaxSpreadCents; offset <= kMaxSpreadCents; offset += kScanStepCents)
        tryOffset(offset);
    const double centre = best.c.rest - best.c.early;
    for (double offset = centre - kScanStepCents / 2; offset <= centre + kScanStepCents / 2;
         offset += kScanStepCents / 8)
        tryOffset(offset);
    best.error = read(shaped(corrected(samples, drift, best.c, seconds))).worst();
    return best.error <= from.error ? best : from;
}

// The samples resampled until both windows of the shaped result read in tune;
// returns `seconds` of them, unshaped. Steady notes need one correction; a
// drifting one is first flattened along its tracked pitch.
std::vector<float> NoteTuner::tuned(const std::vector<float> &samples, double seconds) const
{
    const std::vector<double> steady;
    Attempt best = converge(samples, steady, seconds);
    std::vector<double> drift;
    if (best.error >= kGoalCents) {
        drift = PitchTracker::deviation(samples, kRate, m_expected);
        const Attempt flattened = converge(samples, drift, seconds);
        if (flattened.error < best.error)
            best = flattened;
        else
            drift.clear();
    }
    if (best.error >= kGoalCents)
        best = scanRest(samples, drift, seconds, best);
    return corrected(samples, drift, best.c, seconds);
}

// Most notes come in tune from their mix at once; where the channels differ
// (a stereo ensemble), each is tuned first and their mix then again.
TunedNote NoteTuner::tune(const RenderedKey &key) const
{
    std::vector<float> mix(key.left.size());
    for (size_t i = 0; i < mix.size(); ++i)
        mix[i] = 0.5f * (key.left[i] + key.right[i]);
    TunedNote note;
    note.samples = shaped(tuned(mix, kSoundSeconds));
    Reading r = read(note.samples);
    if (r.worst() >= kGoalCents && key.right != key.left) {
        std::vector<float> layered = tuned(key.left, kLayerSeconds);
        const std::vector<float> right = tuned(key.right, kLayerSeconds);
        for (size_t i = 0; i < layered.size(); ++i)
            layered[i] = 0.5f * (layered[i] + right[i]);
        std::vector<float> file = shaped(tuned(layered, kSoundSeconds));
        const Reading second = read(file);
        if (second.worst() < r.worst())
            note.samples = std::move(file), r = second;
    }
    note.centsEarly = r.early;
    note.centsWhole = r.whole;
    note.marginDb = r.marginDb;
    return note;
}

} // namespace nk
