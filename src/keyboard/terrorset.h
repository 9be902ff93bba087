#pragma once

#include "audio/tnote.h"

#include <QtGlobal>
#include <array>

namespace nk {

// The wrong notes of the last judged answer.
struct TErrorSet
{
    // While wrong answers are replayed for review, a replay keeps the expected
    // notes and the answer position as they are.
    bool Reviewing = false;
    qint32 ErrorCount = 0;
    qint32 ErrorPos = 0; // which entry of Errors is being reviewed, from 1
    // Answer positions (from 1) of the wrong notes in increasing order; the
    // first ErrorCount entries count. Read through atPosition().
    std::array<qint32, MaxSequenceNotes> Errors{};
};

} // namespace nk
