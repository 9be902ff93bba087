#pragma once

#include <QtGlobal>

namespace nk {

// Memorisation state: which note is listened to and which of its five repetitions comes next.
struct TTimeSet
{
    qint32 Repetition = 1;   // 1-5, in memory only
    qint32 NoteIndex = 1;    // section "note" + NoteIndex; kept in settings.dat as notenum
    qint32 SectionCount = 1; // sections of the level's notes.dat
};

} // namespace nk
