#include "widgets/accessiblerichlink.h"

#include "widgets/accessiblerichbox.h"
#include "widgets/trichbox.h"

#include <QTextCursor>
#include <QWindow>

namespace nk {

AccessibleRichLink::AccessibleRichLink(AccessibleRichBox *box, int start, int end, const QUrl &url)
    : m_box(box), m_start(start), m_end(end), m_url(url)
{
}

bool AccessibleRichLink::isValid() const
{
    return m_box->isValid();
}

QWindow *AccessibleRichLink::window() const
{
    return m_box->window();
}

QAccessibleInterface *AccessibleRichLink::parent() const
{
    return m_box;
}

QString AccessibleRichLink::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return anchor();
    if (t == QAccessible::Description)
        return m_url.toString();
    return {};
}

QString AccessibleRichLink::anchor() const
{
    return m_box->text(m_start, m_end).simplified();
}

QRect AccessibleRichLink::rect() const
{
    return m_box->rangeRect(m_start, m_end);
}

QAccessible::State AccessibleRichLink::state() const
{
    QAccessible::State s;
    s.focusable = true;
    s.linked = true;
    const QTextCursor cursor = m_box->box()->textCursor();
    s.focused = m_box->box()->hasFocus() && cursor.selectionStart() == m_start &&
                cursor.selectionEnd() == m_end;
    s.invisible = !m_box->box()->isVisible();
    return s;
}

void *AccessibleRichLink::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    if (t == QAccessible::HyperlinkInterface)
        return static_cast<QAccessibleHyperlinkInterface *>(this);
    return nullptr;
}

QStringList AccessibleRichLink::actionNames() const
{
    return {pressAction()};
}

// From the event loop, as a mouse click on the link comes, and through the
// same signal.
void AccessibleRichLink::doAction(const QString &actionName)
{
    if (actionName != pressAction())
        return;
    TRichBox *box = m_box->box();
    const QUrl url = m_url;
    QMetaObject::invokeMethod(
        box, [box, url] { emit box->anchorClicked(url); }, Qt::QueuedConnection);
}

QStringList AccessibleRichLink::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction())
        return {QStringLiteral("Return")};
    return {};
}

} // namespace nk
