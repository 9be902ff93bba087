#pragma once

namespace nk {

// Set once the main window has agreed to close. Waits and playback loops that
// keep the message loop running check it, so that none of them goes on
// building pages while the program is going away.
class Shutdown
{
public:
    static bool requested();
    static void request();
    static void reset(); // for tests that close and reopen windows
};

} // namespace nk
