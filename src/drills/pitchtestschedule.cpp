#include "drills/pitchtestschedule.h"

#include <algorithm>

namespace nk {

QList<QDate> PitchTestSchedule::nextDates(const QDate &first)
{
    if (!first.isValid())
        return {};
    return {first.addDays(7), first.addMonths(1), first.addMonths(4)};
}

QDate PitchTestSchedule::due(const QList<QDate> &taken, const QDate &today)
{
    if (taken.isEmpty())
        return {};
    const QDate first = *std::min_element(taken.cbegin(), taken.cend());
    const QDate last = *std::max_element(taken.cbegin(), taken.cend());
    QDate due;
    for (const QDate &planned : nextDates(first)) {
        if (planned <= today && last < planned)
            due = planned;
    }
    return due;
}

} // namespace nk
