#pragma once

#include <QtGlobal>

namespace nk {

// The program's one pseudo-random generator, seeded from the clock the first
// time it is asked. Seeding again before every draw would repeat the same
// number within one clock tick; tests seed it to replay a run.
class RandomSource
{
public:
    // A number from low to high, both included; low when high is below it.
    static int draw(int low, int high);
    static void seed(quint32 value);
};

} // namespace nk
