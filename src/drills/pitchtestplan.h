#pragma once

#include "steps/maskingtones.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace nk {

// The 36 trials of a pitch test, drawn from the program's random source: each
// of the twelve pitch classes three times, never the same one twice in a row,
// each in a random octave of the five and a random timbre of those given.
class PitchTestPlan
{
public:
    static constexpr int Trials = 36;
    static constexpr int LowestOctave = MaskingSequence::LowestOctave;
    static constexpr int HighestOctave = MaskingSequence::HighestOctave;

    // An empty list of timbres plays every note on the piano.
    static QList<TestNote> draw(const QStringList &timbres);

private:
    static QList<int> pitchOrder();
};

} // namespace nk
