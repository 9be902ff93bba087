#include "history/notemastery.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace nk {

qint64 NoteMastery::medianMs(const QList<NoteAnswer> &answers)
{
    if (answers.isEmpty())
        return -1;
    std::vector<qint64> ms;
    ms.reserve(std::size_t(answers.size()));
    for (const NoteAnswer &a : answers)
        ms.push_back(a.answerMs < 0 ? std::numeric_limits<qint64>::max() / 2 : a.answerMs);
    std::sort(ms.begin(), ms.end());
    const std::size_t mid = ms.size() / 2;
    return ms.size() % 2 ? ms[mid] : (ms[mid - 1] + ms[mid]) / 2;
}

bool NoteMastery::mastered(const QList<NoteAnswer> &newestFirst)
{
    if (newestFirst.size() < Window)
        return false;
    const QList<NoteAnswer> last = newestFirst.mid(0, Window);
    const auto right =
        std::count_if(last.begin(), last.end(), [](const NoteAnswer &a) { return a.right; });
    return right * 100 >= RightPercent * Window && medianMs(last) < MedianLimitMs;
}

int NoteMastery::count(const QList<HistoryNote> &notes, const QList<NoteRecord> &records)
{
    int mastered = 0;
    for (const NoteRecord &record : records) {
        if (notes.contains(record.note) && NoteMastery::mastered(record.answers))
            ++mastered;
    }
    return mastered;
}

QString NoteMastery::sentence(int mastered, int notes)
{
    return QStringLiteral("Освоено нот: ") + QString::number(mastered) + QStringLiteral(" из ") +
           QString::number(notes);
}

} // namespace nk
