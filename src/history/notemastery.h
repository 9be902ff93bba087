#pragma once

#include "history/historysummary.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace nk {

// One one-note answer of a note: whether it was named right and how long the
// learner took (-1: unknown).
struct NoteAnswer
{
    bool right = false;
    qint64 answerMs = -1;
};

// A note's own recent answers on one level, the newest first.
struct NoteRecord
{
    HistoryNote note;
    QList<NoteAnswer> answers;
};

// When a note counts as mastered: named right and quickly, steadily. The
// figures follow studies of learning absolute pitch, which widen a learner's
// set of notes only once accuracy and speed both meet a criterion.
class NoteMastery
{
public:
    static constexpr int Window = 20;
    static constexpr int RightPercent = 90;
    static constexpr qint64 MedianLimitMs = 3000;

    // `newestFirst` may hold more than the window; fewer answers never master.
    static bool mastered(const QList<NoteAnswer> &newestFirst);
    // How many of `notes` the records show mastered.
    static int count(const QList<HistoryNote> &notes, const QList<NoteRecord> &records);
    // "Освоено нот: k из n", as the level page and the command line say it.
    static QString sentence(int mastered, int notes);
    // An unknown time counts as slow: the store keeps no time it cannot trust.
    static qint64 medianMs(const QList<NoteAnswer> &answers);
};

} // namespace nk
