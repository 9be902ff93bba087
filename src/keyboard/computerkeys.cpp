#include "keyboard/computerkeys.h"

#include "keyboard/keyboard.h"
#include "keyboard/keymap.h"
#include "widgets/actionboundary.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace nk {

ComputerKeys::ComputerKeys(Keyboard &keyboard, QWidget *window)
    : QObject(window), m_keyboard(keyboard), m_window(window)
{
}

// A read-only text (a page's rich text box) takes no typing, so keys still play.
bool ComputerKeys::isTyping(const QWidget *focus)
{
    if (!focus)
        return false;
    if (const auto *line = qobject_cast<const QLineEdit *>(focus))
        return !line->isReadOnly();
    if (const auto *text = qobject_cast<const QTextEdit *>(focus))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(focus))
        return !plain->isReadOnly();
    return qobject_cast<const QAbstractSpinBox *>(focus) ||
           focus->testAttribute(Qt::WA_InputMethodEnabled);
}

bool ComputerKeys::forTheWindow(QObject *watched) const
{
    const auto *widget = qobject_cast<const QWidget *>(watched);
    return m_window && widget && widget->window() == m_window;
}

bool ComputerKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !forTheWindow(watched))
        return false;
    if (isTyping(QApplication::focusWidget()))
        return false;
    return take(*static_cast<QKeyEvent *>(event));
}

// A key this takes goes no further; the others reach the controls as before.
bool ComputerKeys::take(const QKeyEvent &event)
{
    const std::optional<KeyMap::Action> action = KeyMap::actionFor(event.nativeScanCode());
    if (!action || event.modifiers() & (Qt::ControlModifier | Qt::AltModifier) ||
        !m_keyboard.takesInput())
        return false;
    if (event.isAutoRepeat())
        return true; // a held key sounds once
    if (action->octaveStep != 0) {
        m_keyboard.moveInputOctave(action->octaveStep);
        return true;
    }
    const std::optional<KeyPosition> key =
        KeyMap::keyFor(event.nativeScanCode(), m_keyboard.inputOctave());
    if (key) {
        Keyboard &keyboard = m_keyboard;
        ActionBoundary::run([&keyboard, key] { keyboard.pressFromInput(key->octave, key->pitch); });
    }
    return true;
}

} // namespace nk
