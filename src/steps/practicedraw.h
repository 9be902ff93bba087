#pragma once

#include "history/notemastery.h"

#include <QList>
#include <QMap>

namespace nk {

// Which note each question of a practice run asks. A note is drawn with a
// weight of its smoothed error rate over its recent answers, so the notes the
// learner misses come most often and a note never missed still comes now and
// then. A confusion brings both notes back a few questions later, with other
// questions between, as spaced repetition of a mistake works better than
// asking it again at once.
class PracticeDraw
{
public:
    static constexpr int Questions = 20;
    static constexpr int Recent = 30;
    static constexpr int ReturnFirst = 2; // questions after the confusion
    static constexpr int ReturnLast = 5;

    // `records` hold the level's history, the newest answer first.
    PracticeDraw(QList<HistoryNote> notes, const QList<NoteRecord> &records);

    // (wrong + 1) / (asked + 2) over the note's last `Recent` answers.
    double weight(const HistoryNote &note) const;
    // One weighted draw, without the returns of confusions.
    HistoryNote drawWeighted() const;

    // The next question's note; counts the question.
    HistoryNote next();
    // The learner's answer to the question `next` gave last.
    void answered(const HistoryNote &played, const HistoryNote &given);

    int asked() const { return m_asked; }
    bool finished() const { return m_asked >= Questions; }
    // Question number (1-based) to note, for the returns still to come.
    const QMap<int, HistoryNote> &returns() const { return m_returns; }

private:
    qsizetype indexOf(const HistoryNote &note) const { return m_notes.indexOf(note); }
    void scheduleReturns(const HistoryNote &played, const HistoryNote &given);
    void reserveOne(const HistoryNote &note);

    QList<HistoryNote> m_notes;
    QList<QList<bool>> m_recent; // per note, right or not, the newest first
    QMap<int, HistoryNote> m_returns;
    int m_asked = 0;
};

} // namespace nk
