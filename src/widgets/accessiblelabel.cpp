#include "widgets/accessiblelabel.h"

#include "widgets/accessiblepicture.h"
#include "widgets/accessiblerichbox.h"
#include "widgets/clicklabel.h"
#include "widgets/pagepicture.h"
#include "widgets/trichbox.h"

namespace nk {

namespace {
QAccessibleInterface *labelFactory(const QString &, QObject *object)
{
    if (auto *picture = qobject_cast<PagePicture *>(object))
        return new AccessiblePicture(picture);
    if (auto *box = qobject_cast<TRichBox *>(object))
        return new AccessibleRichBox(box);
    auto *label = qobject_cast<ClickLabel *>(object);
    if (label && label->accessibleRole() != QAccessible::NoRole)
        return new AccessibleLabel(label);
    return nullptr;
}

// A label's text is shown with line breaks; a reader says it as one line.
QString spoken(const QString &text)
{
    return text.simplified();
}
} // namespace

AccessibleLabel::AccessibleLabel(ClickLabel *label)
    : QAccessibleWidget(label, label->accessibleRole())
{
}

ClickLabel *AccessibleLabel::label() const
{
    return static_cast<ClickLabel *>(widget());
}

QString AccessibleLabel::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && label()->accessibleName().isEmpty())
        return spoken(label()->text());
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleLabel::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    if (!label()->isOffered()) {
        s.disabled = true;
        s.focusable = false;
    }
    return s;
}

QStringList AccessibleLabel::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    names.prepend(pressAction());
    return names;
}

void AccessibleLabel::doAction(const QString &actionName)
{
    // From the event loop, as a mouse click comes: the screen reader gets its
    // answer at once, even when the click plays a melody or shows a message.
    if (actionName == pressAction())
        QMetaObject::invokeMethod(label(), &ClickLabel::activate, Qt::QueuedConnection);
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList AccessibleLabel::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction() && (label()->focusPolicy() & Qt::TabFocus))
        return {QStringLiteral("Return"), QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

void AccessibleLabel::installFactory()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(labelFactory);
    installed = true;
}

} // namespace nk
