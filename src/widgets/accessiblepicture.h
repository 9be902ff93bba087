#pragma once

#include <QAccessibleWidget>

namespace nk {

class PagePicture;

// A picture of a page as assistive technology sees it: an image named by what
// it means, or, when it only decorates (the arrow beside a link), not there.
class AccessiblePicture : public QAccessibleWidget
{
public:
    explicit AccessiblePicture(PagePicture *picture);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

private:
    PagePicture *picture() const;
};

} // namespace nk
