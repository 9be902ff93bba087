#pragma once

#include <QString>

class QWidget;

namespace nk {

// The program's message: one line of text, an OK button, the program's title.
// Modal; timers and waits keep running underneath.
class MessageBox
{
public:
    static void show(QWidget *parent, const QString &text);
    // The program's title on every message box.
    static void setTitle(const QString &title);

    // Tests replace the dialog with a recorder; an empty hook restores it.
    using Hook = void (*)(const QString &text);
    static void setHook(Hook hook);
};

} // namespace nk
