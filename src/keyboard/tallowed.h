#pragma once

#include <QtGlobal>

namespace nk {

// Which keys of the on-screen keyboard respond, which one is marked, and the
// answer being collected. Every page that uses the keyboard sets it up.
struct TAllowed
{
    // A key responds when its octave and its pitch each lie in their range;
    // a range whose low end is above its high end lets no key respond.
    qint32 LowOctave = 0;
    qint32 HighOctave = 0;
    quint8 LowPitch = 0;
    quint8 HighPitch = 0;

    // The one key that may be yellow; it keeps its yellow through presses
    // while MarkShown is set.
    qint32 MarkOctave = 0;
    quint8 MarkPitch = 0;
    bool MarkShown = false;

    bool Collecting = false; // key presses are recorded as answer notes
    qint32 AnswerPos = 0;    // where the next answer note goes, counted from 1
    qint32 AnswerLen = 0;    // answer notes expected, at most MaxSequenceNotes
};

} // namespace nk
