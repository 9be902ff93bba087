#include "widgets/pagelabel.h"

#include "widgets/page.h"

namespace nk {

PageLabel::PageLabel(Page &page, const QString &text, int tag, QAccessible::Role role)
    : ClickLabel(page.window(), role), m_page(page)
{
    setTag(tag);
    setTextFormat(Qt::PlainText);
    setCaption(text);
    page.adopt(this);
}

void PageLabel::setCaption(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(shown);
    adjustSize();
}

void PageLabel::setTextColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

QColor PageLabel::textColor() const
{
    return palette().color(QPalette::WindowText);
}

} // namespace nk
