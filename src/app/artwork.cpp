#include "app/artwork.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

namespace nk {

namespace {

const QColor kGreen(0x84, 0xC2, 0x25);
const QColor kInk(0x33, 0x33, 0x99);

// A round bird whose beak is a note stem: the program's name, "note beak".
void drawBird(QPainter &p, const QRectF &box)
{
    const qreal s = box.width() / 121.0;
    p.save();
    p.translate(box.topLeft());
    p.scale(s, s);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 3));
    p.setBrush(kGreen);
    p.drawEllipse(QRectF(14, 24, 78, 78));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(56, 42, 20, 20));
    p.setBrush(kInk);
    p.drawEllipse(QRectF(64, 48, 8, 8));
    QPainterPath beak;
    beak.moveTo(88, 56);
    beak.lineTo(114, 66);
    beak.lineTo(88, 76);
    beak.closeSubpath();
    p.setBrush(QColor(0xFF, 0xC0, 0x20));
    p.drawPath(beak);
    p.setBrush(kInk);
    p.drawEllipse(QRectF(96, 96, 16, 12));
    p.drawLine(QPointF(111, 101), QPointF(111, 70));
    p.restore();
}

} // namespace

QPixmap Artwork::logo()
{
    QPixmap pixmap(121, 121);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    drawBird(p, QRectF(0, 0, 121, 121));
    return pixmap;
}

QPixmap Artwork::exitStrip()
{
    QPixmap strip(QStringLiteral(":/notoklyuv/exit.png"));
    if (strip.isNull()) {
        // Not expected in a built program; a blank button is still named and usable.
        strip = QPixmap(300, 50);
        strip.fill(Qt::white);
    }
    return strip;
}

QIcon Artwork::trayIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48})
        icon.addPixmap(Artwork::icon(size));
    return icon;
}

QPixmap Artwork::icon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    drawBird(p, QRectF(0, 0, size, size));
    return pixmap;
}

} // namespace nk
