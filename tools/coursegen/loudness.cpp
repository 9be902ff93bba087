#include "loudness.h"

#include "generationerror.h"

#include <cmath>
#include <ebur128.h>
#include <memory>

namespace nk {

namespace {

constexpr int kPasses = 4;
constexpr double kCloseEnough = 0.01; // LU

struct StateDeleter
{
    void operator()(ebur128_state *state) const { ebur128_destroy(&state); }
};

} // namespace

double Loudness::integrated(const std::vector<float> &samples, int rate)
{
    std::unique_ptr<ebur128_state, StateDeleter> state(
        ebur128_init(1, static_cast<unsigned long>(rate), EBUR128_MODE_I));
    double lufs = -HUGE_VAL;
    if (!state || ebur128_add_frames_float(state.get(), samples.data(), samples.size()) != 0 ||
        ebur128_loudness_global(state.get(), &lufs) != 0)
        throw GenerationError(QStringLiteral("libebur128 cannot measure a sound"));
    return lufs;
}

double Loudness::peak(const std::vector<float> &samples)
{
    double p = 0.0;
    for (const float s : samples)
        p = std::max(p, double(std::fabs(s)));
    return p;
}

double Loudness::normalise(std::vector<float> &samples, int rate, double targetLufs)
{
    double lufs = integrated(samples, rate);
    for (int pass = 0; pass < kPasses && std::isfinite(lufs); ++pass) {
        if (std::fabs(lufs - targetLufs) < kCloseEnough)
            break;
        const float gain = float(std::pow(10.0, (targetLufs - lufs) / 20.0));
        for (float &s : samples)
            s *= gain;
        lufs = integrated(samples, rate);
    }
    return lufs;
}

} // namespace nk
