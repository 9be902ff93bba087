#pragma once

#include <QIcon>
#include <QPixmap>

namespace nk {

// The pictures that belong to the window itself rather than to the course:
// the logo, the exit button's three states and the tray icon (the keyboard
// draws its own picture).
class Artwork
{
public:
    static QPixmap logo();      // 121 x 121
    static QPixmap exitStrip(); // three 100 x 50 images: normal, hover, pressed
    static QIcon trayIcon();
    static QPixmap icon(int size); // the tray icon's bird on a transparent ground
};

} // namespace nk
