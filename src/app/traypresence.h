#pragma once

namespace nk {

// Whether a notification area runs now. Qt decides once per run, at its first
// look, whether a StatusNotifierItem host is there and never looks again, so
// a panel that starts after the program (autostart, a restored session) would
// never get the icon: Qt is asked only once one of the two kinds of tray is
// seen here, on the session bus or as the X11 tray selection.
class TrayPresence
{
public:
    static bool available();
    // Whether Qt, asked now, could take a tray that comes later: not where a
    // session bus runs and no tray of either kind is there yet.
    static bool qtCanDecide();

private:
    static bool notifierHostRegistered();
    static bool x11TrayOwned();
};

} // namespace nk
