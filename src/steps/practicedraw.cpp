#include "steps/practicedraw.h"

#include "course/randomsource.h"

#include <QPair>
#include <cmath>

namespace nk {

namespace {

// The weights become whole units for the program's integer random source;
// a millionth keeps the draw within rounding of the formula.
constexpr double Units = 1e6;

} // namespace

PracticeDraw::PracticeDraw(QList<HistoryNote> notes, const QList<NoteRecord> &records)
    : m_notes(std::move(notes)), m_recent(m_notes.size())
{
    for (const NoteRecord &record : records) {
        const qsizetype at = indexOf(record.note);
        if (at < 0)
            continue;
        for (const NoteAnswer &answer : record.answers.mid(0, Recent))
            m_recent[at].append(answer.right);
    }
}

double PracticeDraw::weight(const HistoryNote &note) const
{
    const qsizetype at = indexOf(note);
    if (at < 0)
        return 0;
    const QList<bool> &recent = m_recent[at];
    const auto wrong = recent.count(false);
    return double(wrong + 1) / double(recent.size() + 2);
}

HistoryNote PracticeDraw::drawWeighted() const
{
    if (m_notes.isEmpty())
        return {};
    QList<int> units;
    int total = 0;
    for (const HistoryNote &note : m_notes) {
        units.append(int(std::lround(weight(note) * Units)));
        total += units.last();
    }
    int pick = RandomSource::draw(0, total - 1);
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (pick < units[i])
            return m_notes[i];
        pick -= units[i];
    }
    return m_notes.last();
}

HistoryNote PracticeDraw::next()
{
    ++m_asked;
    if (m_returns.contains(m_asked))
        return m_returns.take(m_asked);
    return drawWeighted();
}

void PracticeDraw::answered(const HistoryNote &played, const HistoryNote &given)
{
    const qsizetype at = indexOf(played);
    if (at >= 0) {
        m_recent[at].prepend(played == given);
        if (m_recent[at].size() > Recent)
            m_recent[at].removeLast();
    }
    if (at >= 0 && !(played == given) && indexOf(given) >= 0)
        scheduleReturns(played, given);
}

// Both notes come back on free questions at least two apart, so the pair is
// never asked back to back; of the fitting places one is drawn.
void PracticeDraw::scheduleReturns(const HistoryNote &played, const HistoryNote &given)
{
    QList<QPair<int, int>> places;
    for (int a = m_asked + ReturnFirst; a <= m_asked + ReturnLast; ++a) {
        for (int b = m_asked + ReturnFirst; b <= m_asked + ReturnLast; ++b) {
            if (std::abs(a - b) >= 2 && !m_returns.contains(a) && !m_returns.contains(b))
                places.append({a, b});
        }
    }
    if (places.isEmpty()) {
        reserveOne(played); // the window is crowded with earlier returns
        return;
    }
    const QPair<int, int> place = places[RandomSource::draw(0, int(places.size()) - 1)];
    m_returns.insert(place.first, played);
    m_returns.insert(place.second, given);
}

void PracticeDraw::reserveOne(const HistoryNote &note)
{
    QList<int> free;
    for (int q = m_asked + ReturnFirst; q <= m_asked + ReturnLast; ++q) {
        if (!m_returns.contains(q))
            free.append(q);
    }
    if (!free.isEmpty())
        m_returns.insert(free[RandomSource::draw(0, int(free.size()) - 1)], note);
}

} // namespace nk
