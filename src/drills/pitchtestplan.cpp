#include "drills/pitchtestplan.h"

#include "course/randomsource.h"

#include <array>
#include <utility>

namespace nk {

namespace {
constexpr int kPitchClasses = 12;
constexpr int kEach = PitchTestPlan::Trials / kPitchClasses;

bool repeatsNeighbour(const QList<int> &order)
{
    for (qsizetype i = 1; i < order.size(); ++i) {
        if (order[i] == order[i - 1])
            return true;
    }
    return false;
}

// Always the class with the most copies left that differs from the one
// before: never stuck while the counts allow an order at all.
QList<int> greedyOrder()
{
    std::array<int, kPitchClasses> left{};
    left.fill(kEach);
    QList<int> order;
    for (int i = 0; i < PitchTestPlan::Trials; ++i) {
        int best = -1;
        for (int pitch = 0; pitch < kPitchClasses; ++pitch) {
            const bool allowed = left[pitch] > 0 && (order.isEmpty() || order.last() != pitch);
            if (allowed && (best < 0 || left[pitch] > left[best]))
                best = pitch;
        }
        order << best;
        --left[best];
    }
    return order;
}
} // namespace

QList<int> PitchTestPlan::pitchOrder()
{
    QList<int> order;
    for (int pitch = 0; pitch < kPitchClasses; ++pitch)
        order << pitch << pitch << pitch;
    static_assert(kEach == 3);
    // Shuffled until no class follows itself: about one shuffle in eight
    // succeeds, so the bound is never reached but by a broken random source.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        for (qsizetype i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[RandomSource::draw(0, int(i))]);
        if (!repeatsNeighbour(order))
            return order;
    }
    return greedyOrder();
}

QList<TestNote> PitchTestPlan::draw(const QStringList &timbres)
{
    QList<TestNote> trials;
    for (int pitch : pitchOrder())
        trials.append({RandomSource::draw(LowestOctave, HighestOctave), pitch,
                       MaskingSequence::timbreOf(timbres)});
    return trials;
}

} // namespace nk
