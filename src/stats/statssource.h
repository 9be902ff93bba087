#pragma once

#include "history/historysummary.h"

#include <functional>

class QIODevice;

namespace nk {

// Where the statistics page gets the learner's history: a summary for one
// level (0: the whole course) and the whole history as CSV. The wiring place
// fills it in; an empty function reads as an empty history.
struct StatsSource
{
    std::function<HistorySummary(int level)> summary;
    std::function<bool(QIODevice &out)> writeCsv;
};

} // namespace nk
