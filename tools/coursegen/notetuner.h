#pragma once

#include "synthrenderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nk {

// A note as it goes into its file, with what is left of its tuning error.
struct TunedNote
{
    std::vector<float> samples;
    double centsEarly = 0.0; // over the early window, see NoteTuner
    double centsWhole = 0.0; // over the whole file
    double marginDb = 0.0;   // of the fundamental's peak over the next one, smaller window
};

// Brings a rendered key to its equal-tempered pitch and gives it the common
// shape of every sound file: kSoundSeconds of sound, the last kFadeSeconds
// faded out, then kSilenceSeconds of silence.
//
// Sampled instruments are not steady: an organ pipe settles, a choir drifts, a
// stereo pair of an ensemble differs between the channels. So the pitch is
// measured at the fundamental's spectral peak over two windows (kEarlyStart to
// kEarlyEnd, and the whole file), and corrected by resampling at one rate
// inside the early window and another outside it, each channel first, then
// their mix, until both windows read within kGoalCents.
class NoteTuner
{
public:
    static constexpr double kSoundSeconds = 1.5;
    static constexpr double kFadeSeconds = 0.3;
    // QSoundEffect cuts the last ~110 ms of a file; this silence keeps the note whole.
    static constexpr double kSilenceSeconds = 0.3;
    static constexpr double kEarlyStart = 0.15;
    static constexpr double kEarlyEnd = 0.65;
    static constexpr double kGoalCents = 0.2;
    // Either side of the expected pitch; wider than the 4 % the course tests look at.
    static constexpr double kSearchCents = 70.0;
    // Rendered a little longer than kept, as a flat note is read faster.
    static constexpr double kRenderSeconds = 1.8;

    explicit NoteTuner(double expectedHz);
    TunedNote tune(const RenderedKey &key) const;
    static std::vector<float> shaped(std::vector<float> samples);

private:
    struct Correction
    {
        double early = 0.0; // cents inside the early window
        double rest = 0.0;  // cents before and after it
    };
    std::vector<float> corrected(const std::vector<float> &samples,
                                 const std::vector<double> &drift, Correction c,
                                 double seconds) const;
    struct Reading
    {
        double early = 0.0, whole = 0.0; // cents
        double marginDb = 0.0;           // the smaller of the two windows'
        double worst() const { return std::max(std::fabs(early), std::fabs(whole)); }
    };
    struct Attempt
    {
        Correction c;
        double error = 0.0; // the worse reading, cents
    };
    Reading read(const std::vector<float> &file, double earlySearchCents = kSearchCents,
                 double wholeSearchCents = kSearchCents) const;
    Attempt converge(const std::vector<float> &samples, const std::vector<double> &drift,
                     double seconds) const;
    Attempt scanRest(const std::vector<float> &samples, const std::vector<double> &drift,
                     double seconds, Attempt from) const;
    std::vector<float> tuned(const std::vector<float> &samples, double seconds) const;
    double earlyShare(const std::vector<float> &samples) const;

    double m_expected;
};

} // namespace nk
