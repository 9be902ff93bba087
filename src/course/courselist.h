#pragma once

#include <QList>
#include <QString>

namespace nk {

// One entry of a course part's level list or a level's step list.
struct CourseEntry
{
    QString name;
    bool active = false;
};

// A list page's contents as the course files hold them: a caption and the
// entries in file order.
struct CourseList
{
    QString caption;
    QList<CourseEntry> entries;

    // Positions count from 1; 0 means no entry is marked.
    int lastActive() const;
    // A course part marks its last active level, but only while its first level is open.
    int currentOfPart() const;
    // A level always marks a step when it has any: with none active, the first.
    int currentOfLevel() const;
};

} // namespace nk
