#pragma once

#include "history/historysummary.h"
#include "history/pitchtesthistory.h"

#include <functional>

class QIODevice;

namespace nk {

// Where the statistics page gets the learner's history: a summary for one
// level (0: the whole course), the whole history as CSV and the finished
// pitch tests. The wiring place
// fills it in; an empty function reads as an empty history.
struct StatsSource
{
    std::function<HistorySummary(int level)> summary;
    std::function<bool(QIODevice &out)> writeCsv;
    std::function<QList<PitchTestRecord>()> pitchTests;
};

// A level's notes for practice and mastery, and the start of a practice run
// of its weak notes. The wiring place fills it in; empty functions show no
// link and no mastered notes.
struct StatsPractice
{
    std::function<QList<HistoryNote>(int level)> notes;    // empty: nothing to practise
    std::function<QList<HistoryNote>(int level)> mastered; // of those notes
    std::function<void(int level)> start;
};

} // namespace nk
