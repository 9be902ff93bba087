#include "stats/notelabels.h"

#include "audio/notenames.h"

#include <algorithm>

namespace nk {

namespace {

QString octaveWords(int octave)
{
    const QString word = octaveWord(octave);
    return word.isEmpty() ? QStringLiteral("октавы ") + QString::number(octave)
                          : word + QStringLiteral(" октавы");
}

QString octaveMark(int octave)
{
    switch (octave) {
    case 4:
        return QStringLiteral("м");
    case 5:
        return QStringLiteral("1");
    case 6:
        return QStringLiteral("2");
    default:
        return QString::number(octave);
    }
}

} // namespace

bool noteLess(const HistoryNote &a, const HistoryNote &b)
{
    return a.Octave != b.Octave ? a.Octave < b.Octave : a.Pitch < b.Pitch;
}

NoteLabels::NoteLabels(const HistorySummary &summary)
{
    for (const auto &c : summary.confusions) {
        add(c.played);
        add(c.answered);
    }
    for (const auto &a : summary.accuracy)
        add(a.note);
    for (const auto &t : summary.times)
        add(t.note);
    for (const auto &p : summary.mostConfused) {
        add(p.a);
        add(p.b);
    }
    std::sort(m_notes.begin(), m_notes.end(), noteLess);
}

void NoteLabels::add(const HistoryNote &note)
{
    if (!m_notes.contains(note))
        m_notes.append(note);
}

int NoteLabels::indexOf(const HistoryNote &note) const
{
    return int(m_notes.indexOf(note));
}

bool NoteLabels::ambiguous(const HistoryNote &note) const
{
    return std::any_of(m_notes.cbegin(), m_notes.cend(), [&note](const HistoryNote &other) {
        return other.Pitch == note.Pitch && other.Octave != note.Octave;
    });
}

QString NoteLabels::name(const HistoryNote &note) const
{
    const QString pitch = PitchName(note.Pitch);
    return ambiguous(note) ? pitch + u' ' + octaveWords(note.Octave) : pitch;
}

QString NoteLabels::shortName(const HistoryNote &note) const
{
    const QString pitch = PitchName(note.Pitch);
    return ambiguous(note) ? pitch + octaveMark(note.Octave) : pitch;
}

QString NoteLabels::times(int count)
{
    const int lastTwo = qAbs(count) % 100;
    const int last = lastTwo % 10;
    const bool few = last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14);
    return few ? QStringLiteral("раза") : QStringLiteral("раз");
}

QString NoteLabels::pairSentence(const HistorySummary::ConfusedPair &pair, bool first) const
{
    const QString lead =
        first ? QStringLiteral("Чаще всего вы путаете ") : QStringLiteral("Вы путаете также ");
    return lead + name(pair.a) + QStringLiteral(" и ") + name(pair.b) + QStringLiteral(": ") +
           QString::number(pair.confused) + u' ' + times(pair.confused) + QStringLiteral(" из ") +
           QString::number(pair.outOf);
}

} // namespace nk
