#pragma once

#include "course.h"

namespace nk {

class OutputFolder;

// The pictures of each note: its strip on the question pages, its five
// repetition pictures, and the card of every level that has the note.
class NotePictures
{
public:
    static void writeAll(const Course &course, const OutputFolder &out);

private:
    static void strip(const NoteRef &note, const OutputFolder &out);
    static void repetition(const NoteRef &note, int left, const OutputFolder &out);
    static void card(int pitch, const QString &relative, const OutputFolder &out);
};

} // namespace nk
