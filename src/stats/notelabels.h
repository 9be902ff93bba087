#pragma once

#include "history/historysummary.h"

#include <QList>
#include <QString>

namespace nk {

// The names the learner reads for the notes of one summary: the program's
// pitch names, with the octave only where two octaves of a name occur, so
// that a level of one octave reads as the keyboard does.
class NoteLabels
{
public:
    explicit NoteLabels(const HistorySummary &summary);

    // "ФА", or "ФА первой октавы" where the name alone would be ambiguous.
    QString name(const HistoryNote &note) const;
    // The short form for the axes of the plots: "ФА" or "ФА1".
    QString shortName(const HistoryNote &note) const;
    // Every note of the summary, by octave and pitch.
    const QList<HistoryNote> &notes() const { return m_notes; }
    int indexOf(const HistoryNote &note) const;

    // "Чаще всего вы путаете ФА и СОЛЬ: 7 раз из 20"
    QString pairSentence(const HistorySummary::ConfusedPair &pair, bool first) const;
    // "раз" or "раза" after a count.
    static QString times(int count);

private:
    void add(const HistoryNote &note);
    bool ambiguous(const HistoryNote &note) const;

    QList<HistoryNote> m_notes;
};

bool noteLess(const HistoryNote &a, const HistoryNote &b);

} // namespace nk
