#include "widgets/tyesbutton.h"

#include "widgets/actionboundary.h"
#include "widgets/clickdispatcher.h"
#include "widgets/fonts.h"
#include "widgets/page.h"

namespace nk {

QColor TYesButton::colorOf(Face face)
{
    return face == Face::Green ? QColor(0x84, 0xC2, 0x25) : QColor(0xFF, 0xFF, 0x00);
}

TYesButton::TYesButton(Page &page, const QString &text, int tag, Face face)
    : GradientButton(page.window())
{
    setTag(tag);
    setText(text);
    setFont(Fonts::arial(Fonts::pointsToPixels(10)));
    setFaceColor(colorOf(face));
    Page *host = &page;
    connect(this, &QAbstractButton::clicked, this,
            ActionBoundary::guard([this, host] { host->dispatcher().yesClick(this->tag()); }));
    page.adopt(this);
}

} // namespace nk
