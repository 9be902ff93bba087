#pragma once

#include "widgets/pageitem.h"

#include <QCheckBox>

namespace nk {

class Page;

// A tick box of a page; screen readers name it by its text and toggle it as
// a click does.
class PageCheckBox : public QCheckBox, public PageItem
{
    Q_OBJECT
public:
    PageCheckBox(Page &page, const QString &text, int tag);
};

} // namespace nk
