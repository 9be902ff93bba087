#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

namespace nk {

class Keyboard;

// Takes the computer keys meant for the window, by their physical place, and
// plays them on the on-screen keyboard. Installed on the application so that
// it sees a key whichever control of the window has the focus; a key typed
// into a text box, a repeat of a held key or a key for another window is left
// alone.
class ComputerKeys : public QObject
{
    Q_OBJECT
public:
    ComputerKeys(Keyboard &keyboard, QWidget *window);

    bool eventFilter(QObject *watched, QEvent *event) override;

    static bool isTyping(const QWidget *focus);

private:
    bool forTheWindow(QObject *watched) const;
    bool take(const QKeyEvent &event);

    Keyboard &m_keyboard;
    QPointer<QWidget> m_window;
};

} // namespace nk
