#pragma once

#include "widgets/clicklabel.h"
#include "widgets/pageitem.h"

namespace nk {

class Page;

// The course's line break inside a caption, which a label shows as a new line.
inline constexpr QChar kLineBreak = u'\r';

// A text of a page. It sizes itself to its text and shows a carriage return,
// the course's line break, as a new line.
class PageLabel : public ClickLabel, public PageItem
{
    Q_OBJECT
public:
    PageLabel(Page &page, const QString &text = {}, int tag = 1,
              QAccessible::Role role = QAccessible::NoRole);

    void setCaption(const QString &text);
    void setTextColor(const QColor &color);
    QColor textColor() const;
    void moveTo(int left, int top) { move(left, top); }

protected:
    Page &page() const { return m_page; }

private:
    Page &m_page;
};

} // namespace nk
