#pragma once

#include "widgets/gradientbutton.h"
#include "widgets/pageitem.h"

namespace nk {

class Page;

// The action buttons of the pages: green or yellow, dispatched by tag.
class TYesButton : public GradientButton, public PageItem
{
    Q_OBJECT
public:
    enum class Face
    {
        Green,
        Yellow
    };

    TYesButton(Page &page, const QString &text, int tag, Face face = Face::Green);

    static QColor colorOf(Face face);
};

} // namespace nk
