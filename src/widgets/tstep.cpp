#include "widgets/tstep.h"

#include "widgets/actionboundary.h"
#include "widgets/clickdispatcher.h"
#include "widgets/fonts.h"
#include "widgets/page.h"

namespace nk {

TStep::TStep(Page &page, const QString &text, int tag)
    : PageLabel(page, {}, tag, QAccessible::ListItem)
{
    setFont(Fonts::arial(Fonts::pointsToPixels(12), true));
    setCaption(text);
    move(148, y());
    setFocusPolicy(Qt::TabFocus);
    connect(this, &ClickLabel::clicked, this, ActionBoundary::guard([this] {
                if (this->page().dispatcher().stepClick)
                    this->page().dispatcher().stepClick(this->tag());
            }));
}

} // namespace nk
