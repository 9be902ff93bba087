#include "keyboard/accessiblekey.h"

#include "keyboard/accessiblekeyboard.h"
#include "keyboard/keyboard.h"

namespace nk {

AccessibleKey::AccessibleKey(ClickLabel *picture, KeyId key) : m_picture(picture), m_key(key) {}

bool AccessibleKey::isValid() const
{
    return m_picture != nullptr;
}

QWindow *AccessibleKey::window() const
{
    QAccessibleInterface *up = parent();
    return up ? up->window() : nullptr;
}

QAccessibleInterface *AccessibleKey::parent() const
{
    return m_picture ? QAccessible::queryAccessibleInterface(m_picture.data()) : nullptr;
}

QString AccessibleKey::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? AccessibleKeyboard::keyName(m_key) : QString();
}

QRect AccessibleKey::rect() const
{
    if (!m_picture)
        return {};
    const QRect box = AccessibleKeyboard::keyBox(m_key);
    return QRect(m_picture->mapToGlobal(box.topLeft()), box.size());
}

// The panel hidden below the window's edge cannot be clicked, nor can a key
// the page keeps silent.
bool AccessibleKey::pressable() const
{
    const Keyboard *keyboard = m_picture ? AccessibleKeyboard::keyboardOf(m_picture) : nullptr;
    return keyboard && m_picture->isEnabled() && keyboard->panelShown() &&
           keyboard->responds(m_key.octave, quint8(m_key.pitch));
}

QAccessible::State AccessibleKey::state() const
{
    QAccessible::State s;
    const Keyboard *keyboard = m_picture ? AccessibleKeyboard::keyboardOf(m_picture) : nullptr;
    if (!keyboard || !keyboard->panelShown()) {
        s.invisible = true;
        s.offscreen = true;
    }
    s.disabled = !pressable();
    return s;
}

void *AccessibleKey::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList AccessibleKey::actionNames() const
{
    return {pressAction()};
}

void AccessibleKey::doAction(const QString &actionName)
{
    if (actionName != pressAction() || !pressable())
        return;
    // From the event loop, as a mouse press comes, so the screen reader gets
    // its answer before the note has played.
    QPointer<ClickLabel> picture = m_picture;
    const QPoint point = KeyboardLayout::seed(m_key.octave, m_key.pitch);
    QMetaObject::invokeMethod(
        picture.data(),
        [picture, point] {
            if (picture)
                Q_EMIT picture->pressed(point, Qt::LeftButton);
        },
        Qt::QueuedConnection);
}

} // namespace nk
