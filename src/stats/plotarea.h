#pragma once

#include "widgets/pageitem.h"

#include <QScrollArea>

namespace nk {

class Page;

// The frame of the statistics page that holds one plot; a plot larger than
// the frame (a course of many notes) scrolls inside it.
class PlotArea : public QScrollArea, public PageItem
{
    Q_OBJECT
public:
    PlotArea(Page &page, const QRect &geometry, int tag = 1);

    // The room a plot has without scrolling.
    QSize room() const;
};

} // namespace nk
