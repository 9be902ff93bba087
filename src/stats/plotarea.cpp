#include "stats/plotarea.h"

#include "widgets/page.h"

#include <QStyle>

namespace nk {

PlotArea::PlotArea(Page &page, const QRect &geometry, int tag) : QScrollArea(page.window())
{
    setTag(tag);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setGeometry(geometry);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setBackgroundRole(QPalette::Window);
    page.adopt(this);
}

QSize PlotArea::room() const
{
    // Scroll bars are only wanted where the plot needs them; leave them room.
    return size() - QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2, 0);
}

} // namespace nk
