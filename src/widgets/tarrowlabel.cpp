#include "widgets/tarrowlabel.h"

#include "widgets/actionboundary.h"
#include "widgets/clickdispatcher.h"
#include "widgets/fonts.h"
#include "widgets/page.h"

namespace nk {

TArrowLabel::TArrowLabel(Page &page, const QString &text, int tag)
    : PageLabel(page, {}, tag, QAccessible::Link)
{
    setFont(Fonts::arial(Fonts::pointsToPixels(12), true));
    setCaption(text);
    setCursor(Qt::PointingHandCursor);
    // Reached with Tab, so a learner answering from the keyboard goes on without the mouse.
    setFocusPolicy(Qt::TabFocus);
    connect(this, &ClickLabel::clicked, this,
            ActionBoundary::guard([this] { this->page().dispatcher().arrowClick(*this); }));
}

} // namespace nk
