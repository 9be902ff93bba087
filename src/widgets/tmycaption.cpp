#include "widgets/tmycaption.h"

#include "widgets/clickdispatcher.h"
#include "widgets/fonts.h"
#include "widgets/page.h"

namespace nk {

TMyCaption::TMyCaption(Page &page, const QString &text, int tag) : PageLabel(page, {}, tag)
{
    setFont(Fonts::arial(Fonts::pointsToPixels(12), true));
    setCaption(text);
    move(136, 8);
}

} // namespace nk
