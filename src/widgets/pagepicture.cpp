#include "widgets/pagepicture.h"

#include "widgets/page.h"

#include <QImageReader>

namespace nk {

namespace {
QPixmap readPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return QPixmap::fromImage(reader.read()); // the first frame of an animation
}
} // namespace

PagePicture::PagePicture(Page &page, int tag) : QLabel(page.window())
{
    setTag(tag);
    page.adopt(this);
}

bool PagePicture::load(const QString &path)
{
    const QPixmap pixmap = readPicture(path);
    setPixmap(pixmap);
    resize(pixmap.size());
    return !pixmap.isNull();
}

bool PagePicture::loadInto(const QString &path, const QRect &box)
{
    setGeometry(box);
    setAlignment(Qt::AlignCenter);
    QPixmap pixmap = readPicture(path);
    if (pixmap.width() > box.width() || pixmap.height() > box.height())
        pixmap = pixmap.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(pixmap);
    return !pixmap.isNull();
}

} // namespace nk
