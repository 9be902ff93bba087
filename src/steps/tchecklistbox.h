#pragma once

#include "widgets/pageitem.h"

#include <QListWidget>

namespace nk {

class Page;

// A list of texts, each with a tick box, and a key kept with each item.
class TCheckListBox : public QListWidget, public PageItem
{
    Q_OBJECT
public:
    TCheckListBox(Page &page, int tag);

    void addCheckItem(const QString &text, const QString &key);
    int checkedCount() const;
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    QString keyAt(int row) const;
};

} // namespace nk
