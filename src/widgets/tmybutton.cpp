#include "widgets/tmybutton.h"

#include "widgets/actionboundary.h"
#include "widgets/clickdispatcher.h"
#include "widgets/page.h"

namespace nk {

TMyButton::TMyButton(Page &page, const QString &text, int tag) : GradientButton(page.window())
{
    setTag(tag);
    setText(text);
    Page *host = &page;
    connect(this, &QAbstractButton::clicked, this, ActionBoundary::guard([host] {
                if (host->dispatcher().answerClick)
                    host->dispatcher().answerClick();
            }));
    page.adopt(this);
}

} // namespace nk
