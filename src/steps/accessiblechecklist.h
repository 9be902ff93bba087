#pragma once

#include <QAccessibleWidget>
#include <QList>

namespace nk {

class TCheckListBox;

// The check list as assistive technology sees it: a list of check boxes named
// by their texts, each ticked or cleared by its toggle action as by a click on
// its tick box. Qt's own list cells would only select an item.
class AccessibleCheckList : public QAccessibleWidget
{
public:
    explicit AccessibleCheckList(TCheckListBox *list);
    ~AccessibleCheckList() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;

    static void installFactory();

private:
    mutable QList<QAccessible::Id> m_items;
};

} // namespace nk
