#pragma once

#include "course.h"
#include "outputfolder.h"

namespace nk {

class IniText;

// Writes every data file and text page of the course under levels/.
class DataWriter
{
public:
    DataWriter(const Course &course, const OutputFolder &out);
    void writeAll() const;

private:
    void writePart(const PartSource &part) const;
    void writeLevel(const LevelSource &level) const;
    void writeNotes(const LevelSource &level) const;
    void writeMelodies(const LevelSource &level) const;
    void writeChords(const LevelSource &level) const;
    void writeReport(const LevelSource &level) const;
    void writeQuestions() const;
    void writeTexts() const;
    void save(const QString &relative, const IniText &ini) const;
    QString levelFile(const LevelSource &level, const QString &name) const;

    const Course &m_course;
    const OutputFolder &m_out;
};

} // namespace nk
