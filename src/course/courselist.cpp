#include "course/courselist.h"

namespace nk {

int CourseList::lastActive() const
{
    for (qsizetype i = entries.size(); i > 0; --i) {
        if (entries[i - 1].active)
            return int(i);
    }
    return 0;
}

int CourseList::currentOfPart() const
{
    if (entries.isEmpty() || !entries.first().active)
        return 0;
    return lastActive();
}

int CourseList::currentOfLevel() const
{
    if (entries.isEmpty())
        return 0;
    return qMax(1, lastActive());
}

} // namespace nk
