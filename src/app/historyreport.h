#pragma once

#include "history/historysummary.h"
#include "history/pitchtesthistory.h"

#include <QMap>
#include <QString>

class QIODevice;

namespace nk {

class CommandLine;
class BasePath;
class HistoryStore;

// `notoklyuv --stats`: the learner's history on standard output, without a
// display. The same store and the same summary as the statistics page.
class HistoryReport
{
public:
    // Prints the report (or the CSV) for the program folder of the command
    // line; 0 when the history could be read, 1 when not.
    static int run(int &argc, char **argv, const CommandLine &line);

    // Mastered notes of a level and the level's notes, by level.
    using Mastery = QMap<int, QPair<int, int>>;

    // Accuracy and mastered notes per level and the most confused pairs, one per line.
    static QString text(const HistorySummary &course, const Mastery &mastery = {});
    static Mastery mastery(const HistoryStore &store, const BasePath &base,
                           const HistorySummary &course);
    // One line for each finished pitch test, oldest first.
    static QString testLines(const QList<PitchTestRecord> &tests);
};

} // namespace nk
