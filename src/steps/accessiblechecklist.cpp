#include "steps/accessiblechecklist.h"

#include "steps/tchecklistbox.h"

#include <QPointer>

namespace nk {

namespace {

// One item of the list; it holds the row, and asks the list for the rest.
class CheckItem : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CheckItem(TCheckListBox *list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override { return m_list && m_row < m_list->count(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return m_list ? QAccessible::queryAccessibleInterface(m_list.data()) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        const QListWidgetItem *item = isValid() ? m_list->item(m_row) : nullptr;
        return t == QAccessible::Name && item ? item->text() : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect box = m_list->visualItemRect(m_list->item(m_row));
        return QRect(m_list->viewport()->mapToGlobal(box.topLeft()), box.size());
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.checkable = true;
        s.checked = isValid() && m_list->isChecked(m_row);
        s.disabled = !isValid() || !m_list->isEnabled();
        s.invisible = !isValid() || !m_list->isVisible();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString &name) override
    {
        if (name == toggleAction() && isValid() && m_list->isEnabled())
            m_list->setChecked(m_row, !m_list->isChecked(m_row));
    }
    QStringList keyBindingsForAction(const QString &) const override
    {
        return {QStringLiteral("Space")};
    }

private:
    QPointer<TCheckListBox> m_list;
    int m_row;
};

QAccessibleInterface *checkListFactory(const QString &, QObject *object)
{
    if (auto *list = qobject_cast<TCheckListBox *>(object))
        return new AccessibleCheckList(list);
    return nullptr;
}

} // namespace

AccessibleCheckList::AccessibleCheckList(TCheckListBox *list)
    : QAccessibleWidget(list, QAccessible::List)
{
}

AccessibleCheckList::~AccessibleCheckList()
{
    for (QAccessible::Id id : m_items) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
}

int AccessibleCheckList::childCount() const
{
    return static_cast<TCheckListBox *>(widget())->count();
}

QAccessibleInterface *AccessibleCheckList::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    while (m_items.size() <= index)
        m_items.append(0);
    if (!m_items[index]) {
        auto *item = new CheckItem(static_cast<TCheckListBox *>(widget()), index);
        m_items[index] = QAccessible::registerAccessibleInterface(item);
    }
    return QAccessible::accessibleInterface(m_items[index]);
}

int AccessibleCheckList::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
    return int(m_items.indexOf(id));
}

QAccessibleInterface *AccessibleCheckList::childAt(int x, int y) const
{
    auto *list = static_cast<TCheckListBox *>(widget());
    const QListWidgetItem *item = list->itemAt(list->viewport()->mapFromGlobal(QPoint(x, y)));
    return item ? child(list->row(item)) : nullptr;
}

void AccessibleCheckList::installFactory()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(checkListFactory);
    installed = true;
}

} // namespace nk
