#pragma once

#include "history/historystore.h"

namespace nk {

struct StepContext;

// Puts a judged answer into the learner's history at the moment its log line
// is written. A history that cannot be written has told the learner itself;
// the exercise goes on either way.
class AnswerHistory
{
public:
    // A keyboard answer: the notes played and answered, position by position.
    static void recordNotes(StepContext &context, HistoryKind kind, bool right, int noteCount = 0);
    // A drill's choice of which item came first; `played` holds both items' notes.
    static void recordChoice(StepContext &context, HistoryKind kind, bool right, int choice,
                             const QList<HistoryNote> &played);
    static void recordRest(StepContext &context, HistoryRest kind);
};

} // namespace nk
