#pragma once

#include <QtGlobal>

namespace nk {

// Melodies state: the melody being asked and the run of first-attempt rights
// that passes the step.
struct TMelodySet
{
    qint32 MelodyIndex = 1; // key "m" + MelodyIndex of [melody]
    qint32 Required = 1;    // 3 until passed, then the number of melodies
    qint32 RightCount = 1;  // counts from 1; after passing it follows MelodyIndex
    qint32 MelodyCount = 1; // entries of [melody]
    bool Counting = true;   // not yet passed in this visit
    bool Retry = false;     // answering again after a wrong melody
};

} // namespace nk
