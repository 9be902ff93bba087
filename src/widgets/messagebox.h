#pragma once

#include <QString>

class QWidget;

namespace nk {

// The program's message: one line of text, an OK button, the program's title.
// Modal; timers and waits keep running underneath.
class MessageBox
{
public:
    // Without a parent the box belongs to the main window: a box of no
    // window would leave the program without any once the window is hidden.
    static void show(QWidget *parent, const QString &text);
    static void setMainWindow(QWidget *window);
    // Messages wait until the window has been painted: a box before its window
    // would stand alone on the screen, and its event loop would let a click on
    // the tray start the window before the program has wired it.
    static void holdUntilPainted(QWidget *window);
    // The program's title on every message box.
    static void setTitle(const QString &title);

    // Tests replace the dialog with a recorder; an empty hook restores it.
    using Hook = void (*)(const QString &text);
    static void setHook(Hook hook);
};

} // namespace nk
