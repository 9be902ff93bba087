#include "steps/tchecklistbox.h"

#include "steps/accessiblechecklist.h"
#include "widgets/page.h"

namespace nk {

TCheckListBox::TCheckListBox(Page &page, int tag) : QListWidget(page.window())
{
    AccessibleCheckList::installFactory();
    setTag(tag);
    page.adopt(this);
}

void TCheckListBox::addCheckItem(const QString &text, const QString &key)
{
    auto *item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
    item->setData(Qt::UserRole, key);
}

int TCheckListBox::checkedCount() const
{
    int count = 0;
    for (int row = 0; row < this->count(); ++row)
        count += isChecked(row) ? 1 : 0;
    return count;
}

bool TCheckListBox::isChecked(int row) const
{
    const QListWidgetItem *it = item(row);
    return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::setChecked(int row, bool checked)
{
    if (QListWidgetItem *it = item(row))
        it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QString TCheckListBox::keyAt(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? it->data(Qt::UserRole).toString() : QString();
}

} // namespace nk
