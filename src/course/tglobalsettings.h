#pragma once

#include "course/timbre.h"

#include <QString>
#include <QStringList>

namespace nk {

// Global settings of the run, mirrored from levels\settings.dat.
struct TGlobalSettings
{
    quint8 Note = 0; // pitch class of the current note, 0 = ДО … 11 = СИ
    int Octave = 5;  // 4 small, 5 first, 6 second
    int Part = 1;    // the course part opened last
    int Level = 1;   // current level 1-28
    int Step = 0;    // current step 1-5 of the current level
    QString Tembr = QStringLiteral("piano");
    bool KeyboardShown = false;
    bool HighlightPending = false;
    bool FirstRun = true;
    bool Busy = false;       // a long playback loop runs: closing is refused
    int TI = DefaultTI;      // time unit of note-sequence playback, ms
    bool KeyLetters = false; // computer keys' letters drawn on the keyboard picture
    bool TembrMix = false;   // every question in a timbre drawn from TembrSet
    QStringList TembrSet = Timbre::folders();
    bool Masking = false; // random tones and a silence before a new question's first listen

    // A time unit outside these bounds is not one anybody chose: a note of
    // it would last days or nothing at all.
    static constexpr int DefaultTI = 250;
    static constexpr int MinTI = 10;
    static constexpr int MaxTI = 5000;
};

} // namespace nk
