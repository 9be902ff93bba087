#pragma once

#include "history/historysummary.h"

#include <QRandomGenerator>
#include <algorithm>
#include <map>

namespace nk::test {

// A learner's history as the store would sum it up: `notes` keys upwards from
// `first`, `days` days of training getting better day by day, mistakes
// mostly on neighbouring keys. The same seed gives the same history.
inline HistorySummary sampleHistory(int notes, int days, HistoryNote first = {5, 0},
                                    quint32 seed = 18)
{
    QRandomGenerator random(seed);
    QList<HistoryNote> keys;
    for (int i = 0; i < notes; ++i) {
        // A level of up to seven notes takes the white keys, as the course's levels do.
        static constexpr int white[] = {0, 2, 4, 5, 7, 9, 11};
        const int key = first.Octave * 12 + first.Pitch + (notes <= 7 ? white[i] : i);
        keys.append(HistoryNote{key / 12, quint8(key % 12)});
    }
    HistorySummary s;
    std::map<std::pair<int, int>, int> cells;
    std::vector<int> played(std::size_t(notes), 0);
    const QDate start(2026, 9, 1);
    for (int d = 0; d < days; ++d) {
        const double skill = 0.45 + 0.5 * d / qMax(1, days - 1);
        for (int i = 0; i < notes; ++i) {
            HistorySummary::DayAccuracy day{start.addDays(d), keys[i], 0,
                                            8 + int(random.bounded(12))};
            for (int k = 0; k < day.total; ++k) {
                int answered = i;
                if (random.generateDouble() > skill) {
                    const int step = 1 + int(random.bounded(2));
                    answered = qBound(0, i + (random.bounded(2) ? step : -step), notes - 1);
                }
                day.right += answered == i;
                ++cells[{i, answered}];
            }
            played[std::size_t(i)] += day.total;
            s.answers += day.total;
            s.rightAnswers += day.right;
            s.accuracy.append(day);
        }
        s.stages.append({start.addDays(d), 1 + (d * 4) / qMax(1, days)});
    }
    for (const auto &[cell, count] : cells)
        s.confusions.append({keys[cell.first], keys[cell.second], count});
    for (int i = 0; i < notes; ++i)
        s.times.append({keys[i], 1400.0 + random.bounded(2600), played[std::size_t(i)]});
    for (int i = 0; i < notes; ++i) {
        for (int j = i + 1; j < notes; ++j) {
            const int confused = cells[{i, j}] + cells[{j, i}];
            if (confused > 0)
                s.mostConfused.append(
                    {keys[i], keys[j], confused, played[std::size_t(i)] + played[std::size_t(j)]});
        }
    }
    std::stable_sort(s.mostConfused.begin(), s.mostConfused.end(),
                     [](const auto &a, const auto &b) { return a.confused > b.confused; });
    s.mostConfused.resize(qMin<qsizetype>(3, s.mostConfused.size()));
    s.levels.append({1, s.rightAnswers, s.answers});
    return s;
}

} // namespace nk::test
