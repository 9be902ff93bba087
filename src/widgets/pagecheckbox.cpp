#include "widgets/pagecheckbox.h"

#include "widgets/fonts.h"
#include "widgets/page.h"

namespace nk {

PageCheckBox::PageCheckBox(Page &page, const QString &text, int tag)
    : QCheckBox(text, page.window())
{
    setTag(tag);
    setFont(Fonts::arial(Fonts::pointsToPixels(12), true));
    setFocusPolicy(Qt::StrongFocus);
    adjustSize();
    page.adopt(this);
}

} // namespace nk
