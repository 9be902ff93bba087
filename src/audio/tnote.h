#pragma once

#include <QtGlobal>

namespace nk {

// One note of a sequence: what was played for the learner to reproduce, or
// what the learner played back on the keyboard.
struct TNote
{
    qint32 Duration = 0; // in units of Settings.TI milliseconds
    qint32 Octave = 5;   // 4 small, 5 first, 6 second
    quint8 Pitch = 0;    // pitch class, 0 = ДО … 11 = СИ
};

// The longest sequence a learner is asked to reproduce; the note arrays of
// the window hold this many notes.
inline constexpr int MaxSequenceNotes = 36;

} // namespace nk
