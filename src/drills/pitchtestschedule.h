#pragma once

#include <QDate>
#include <QList>

namespace nk {

// When the test is to be taken again: a week, a month and four months after
// the first one, as retests of absolute pitch are spaced.
class PitchTestSchedule
{
public:
    static QList<QDate> nextDates(const QDate &first);
    // The latest planned day reached with no test taken since; null when none
    // is due. `taken` lists the days of finished tests, in any order.
    static QDate due(const QList<QDate> &taken, const QDate &today);
};

} // namespace nk
