#pragma once

#include "course/basepath.h"
#include "course/courselist.h"

namespace nk {

// The course structure files: levels\partN.dat, which lists a course part's
// levels and is never written, and levels\NN\level.dat, which lists a level's
// steps and keeps their progress flags. Every call reads or writes the file
// afresh, so a list always shows what the files say now.
class CourseFiles
{
public:
    static constexpr int MaxLevelsPerPart = 9;
    static constexpr int MaxStepsPerLevel = 5;

    explicit CourseFiles(const BasePath &base) : m_base(base) {}

    static QString partFile(int part);
    static QString levelFile(int level);
    static QString stepSection(int step);

    // Entries beyond the page's room are left out.
    CourseList readPart(int part) const;
    CourseList readLevel(int level) const;

    // The flags address a step by its section name, whatever its position;
    // writing creates the section where the file lacks it. Throw FileError.
    void ActivateStep(int level, int step);
    void MarkStepUsed(int level, int step);
    bool IsStepUsed(int level, int step) const;

private:
    CourseList readList(const QString &relative, const QString &captionSection,
                        int maxEntries) const;

    BasePath m_base;
};

} // namespace nk
