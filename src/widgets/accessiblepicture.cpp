#include "widgets/accessiblepicture.h"

#include "widgets/pagepicture.h"

namespace nk {

AccessiblePicture::AccessiblePicture(PagePicture *picture)
    : QAccessibleWidget(picture, QAccessible::Graphic)
{
}

PagePicture *AccessiblePicture::picture() const
{
    return static_cast<PagePicture *>(widget());
}

QString AccessiblePicture::text(QAccessible::Text t) const
{
    if (t == QAccessible::Description && picture()->accessibleDescription().isEmpty())
        return picture()->accessibleName();
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessiblePicture::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    if (picture()->isDecorative()) {
        s.invisible = true;
        s.offscreen = true;
    }
    return s;
}

} // namespace nk
