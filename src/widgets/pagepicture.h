#pragma once

#include "widgets/pageitem.h"

#include <QLabel>

namespace nk {

class Page;

// A picture of a page, GIF (its first frame) or Windows bitmap. A missing or
// unreadable file leaves an empty picture box; the page stays usable.
class PagePicture : public QLabel, public PageItem
{
    Q_OBJECT
public:
    PagePicture(Page &page, int tag = 1);

    // Sized to the picture.
    bool load(const QString &path);
    // Scaled down proportionally to fit the box, never up; the box is the geometry.
    bool loadInto(const QString &path, const QRect &box);

    // What a screen reader says for the picture; a picture that only
    // decorates is hidden from it instead.
    void describe(const QString &meaning) { setAccessibleName(meaning); }
    void setDecorative(bool decorative = true) { m_decorative = decorative; }
    bool isDecorative() const { return m_decorative; }

private:
    bool m_decorative = false;
};

} // namespace nk
