#include "exitstrip.h"

#include "widgets/fonts.h"

#include <QPainter>

namespace nk::artworkgen {

QImage ExitStrip::draw()
{
    QImage strip(Width, Height, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor faces[] = {QColor(0xE0, 0x30, 0x30), QColor(0xFF, 0x50, 0x50),
                            QColor(0xB0, 0x20, 0x20)};
    for (int i = 0; i < 3; ++i) {
        const QRectF r(i * 100 + 4.5, 4.5, 91, 41);
        p.setPen(QPen(faces[i].darker(140), 1));
        p.setBrush(faces[i]);
        p.drawRoundedRect(r.translated(i == 2 ? 1 : 0, i == 2 ? 1 : 0), 8, 8);
        p.setPen(Qt::white);
        p.setFont(Fonts::sansSerif(19, true));
        p.drawText(r.translated(i == 2 ? 1 : 0, i == 2 ? 1 : 0), Qt::AlignCenter,
                   QStringLiteral("Выход"));
    }
    return strip;
}

} // namespace nk::artworkgen
