#pragma once

#include <QString>

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
    bool Busy = false; // a long playback loop runs: closing is refused
    int TI = 250;      // time unit of note-sequence playback, ms
};

} // namespace nk
