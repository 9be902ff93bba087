#pragma once

#include <QtGlobal>

namespace nk {

// Waits ms milliseconds (as scaled by ProgramClock) while the message loop
// keeps running, so clicks, timers and repaints are handled meanwhile. Returns
// at once for ms <= 0, and within a few milliseconds once Shutdown has been
// requested. This is the only clock playback is timed by.
void WaitMs(qint64 ms);

// Whether a wait is in progress further up the stack: a note or a melody is
// being played, and what is handled meanwhile should stay quiet.
bool WaitMsRunning();

} // namespace nk
