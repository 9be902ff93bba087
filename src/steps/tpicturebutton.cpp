#include "steps/tpicturebutton.h"

#include "widgets/actionboundary.h"
#include "widgets/fonts.h"
#include "widgets/page.h"

namespace nk {

TPictureButton::TPictureButton(Page &page, const QString &text, std::function<void()> action)
    : GradientButton(page.window())
{
    setTag(1);
    setText(text);
    setFont(Fonts::arial(Fonts::pointsToPixels(10)));
    setFaceColor(QColor(0xFF, 0xFF, 0x00));
    connect(this, &QAbstractButton::clicked, this, ActionBoundary::guard(std::move(action)));
    page.adopt(this);
}

} // namespace nk
