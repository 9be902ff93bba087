#include "pagepictures.h"

#include "canvas.h"
#include "outputfolder.h"

#include <QPainterPath>
#include <QPolygonF>

namespace nk {

namespace {

const QColor kClear(0, 0, 0, 0);

QPolygonF arrowShape(double w, double h, bool pointsRight)
{
    QPolygonF shape({{2, h * 0.36},
                     {w * 0.52, h * 0.36},
                     {w * 0.52, 2},
                     {w - 2, h / 2},
                     {w * 0.52, h - 2},
                     {w * 0.52, h * 0.64},
                     {2, h * 0.64}});
    if (!pointsRight)
        for (QPointF &p : shape)
            p.setX(w - p.x());
    return shape;
}

// A friendly bear face; the rest picture and the course part page share it.
void bearHead(Canvas &c, const QPointF &centre, double r, bool asleep)
{
    QPainter &p = c.painter();
    c.dot(centre + QPointF(-r * 0.72, -r * 0.72), r * 0.34, Canvas::brown, Canvas::ink);
    c.dot(centre + QPointF(r * 0.72, -r * 0.72), r * 0.34, Canvas::brown, Canvas::ink);
    c.dot(centre, r, Canvas::brown, Canvas::ink);
    c.dot(centre + QPointF(0, r * 0.35), r * 0.42, QColor(0xE8, 0xC9, 0x9B), Canvas::brown);
    c.dot(centre + QPointF(0, r * 0.2), r * 0.12, Canvas::ink, Canvas::ink);
    p.setPen(QPen(Canvas::ink, std::max(1.5, r * 0.07), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (const double side : {-1.0, 1.0}) {
        const QPointF eye = centre + QPointF(side * r * 0.38, -r * 0.25);
        if (asleep)
            p.drawArc(QRectF(eye - QPointF(r * 0.14, r * 0.1), QSizeF(r * 0.28, r * 0.2)), 0,
                      -180 * 16);
        else
            c.dot(eye, r * 0.09, Canvas::ink, Canvas::ink);
    }
    p.drawArc(QRectF(centre + QPointF(-r * 0.2, r * 0.25), QSizeF(r * 0.4, r * 0.3)), 0, -180 * 16);
}

void keyboard(Canvas &c, const QRectF &box, bool blackLit, bool whiteLit)
{
    const double keyW = box.width() / 7;
    for (int i = 0; i < 7; ++i)
        c.painter().fillRect(QRectF(box.x() + i * keyW, box.y(), keyW, box.height()),
                             whiteLit ? Canvas::green : Canvas::paper);
    c.painter().setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    c.painter().setBrush(Qt::NoBrush);
    for (int i = 0; i <= 7; ++i)
        c.painter().drawLine(QPointF(box.x() + i * keyW, box.y()),
                             QPointF(box.x() + i * keyW, box.bottom()));
    c.painter().drawRect(box);
    for (const int i : {1, 2, 4, 5, 6})
        c.painter().fillRect(
            QRectF(box.x() + i * keyW - keyW * 0.3, box.y(), keyW * 0.6, box.height() * 0.6),
            blackLit ? Canvas::green : Canvas::ink);
}

} // namespace

void PagePictures::writeAll(const OutputFolder &out)
{
    arrows(out);
    right(out);
    relax(out);
    bear(out);
    keys(out);
    orderSigns(out);
}

void PagePictures::arrows(const OutputFolder &out)
{
    struct Arrow
    {
        const char *file;
        int size;
        QColor colour;
        bool right;
    };
    const Arrow arrows[] = {{"pictures/smallarrow.gif", 16, Canvas::red, true},
                            {"pictures/arrred.gif", 20, Canvas::red, true},
                            {"pictures/arrblue.gif", 20, Canvas::blue, false}};
    for (const Arrow &a : arrows) {
        Canvas c(a.size, a.size, kClear);
        c.painter().setPen(Qt::NoPen);
        c.painter().setBrush(a.colour);
        c.painter().drawPolygon(arrowShape(a.size, a.size, a.right));
        c.saveGif(out, QString::fromLatin1(a.file));
    }
}

void PagePictures::right(const OutputFolder &out)
{
    Canvas c(260, 170);
    c.card(QRectF(4, 4, 252, 162), QColor(0xF1, 0xF8, 0xE6), Canvas::green, 18);
    c.dot(QPointF(70, 85), 46, Canvas::green, Canvas::green);
    QPainterPath tick(QPointF(48, 86));
    tick.lineTo(64, 103);
    tick.lineTo(94, 66);
    c.painter().setPen(QPen(Canvas::paper, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    c.painter().setBrush(Qt::NoBrush);
    c.painter().drawPath(tick);
    c.text(QRectF(120, 50, 130, 40), QStringLiteral("Верно!"), 30, true, Canvas::blue);
    c.text(QRectF(120, 92, 130, 30), QStringLiteral("Так держать"), 16, false, Canvas::blue);
    c.saveGif(out, QStringLiteral("pictures/right.gif"));
}

void PagePictures::relax(const OutputFolder &out)
{
    Canvas c(300, 200);
    c.card(QRectF(4, 4, 292, 192), QColor(0xE9, 0xF1, 0xFB), Canvas::sky, 18);
    c.dot(QPointF(250, 45), 22, Canvas::yellow, QColor(0xE0, 0xC0, 0x40));
    c.dot(QPointF(260, 38), 19, QColor(0xE9, 0xF1, 0xFB), QColor(0xE9, 0xF1, 0xFB));
    bearHead(c, QPointF(95, 95), 48, true);
    c.text(QRectF(150, 70, 80, 40), QStringLiteral("z Z z"), 22, true, Canvas::blue);
    c.text(QRectF(10, 150, 280, 36), QStringLiteral("Отдых 7 минут"), 24, true, Canvas::blue);
    c.saveGif(out, QStringLiteral("pictures/relax.gif"));
}

void PagePictures::bear(const OutputFolder &out)
{
    Canvas c(170, 272);
    QPainter &p = c.painter();
    p.setPen(QPen(Canvas::ink, 2));
    p.setBrush(Canvas::brown);
    p.drawEllipse(QRectF(35, 100, 100, 130)); // body
    p.drawEllipse(QRectF(40, 215, 38, 30));   // feet
    p.drawEllipse(QRectF(92, 215, 38, 30));
    p.drawEllipse(QRectF(14, 120, 34, 60)); // arms
    p.drawEllipse(QRectF(122, 110, 34, 60));
    c.dot(QPointF(85, 170), 32, QColor(0xE8, 0xC9, 0x9B), Canvas::brown);
    bearHead(c, QPointF(85, 70), 48, false);
    c.noteSign(QPointF(140, 90), 12, Canvas::blue);
    c.text(QRectF(0, 248, 170, 22), QStringLiteral("Медведь ждёт!"), 15, true, Canvas::blue);
    c.saveGif(out, QStringLiteral("pictures/bear/1.gif"));
}

void PagePictures::keys(const OutputFolder &out)
{
    struct Sign
    {
        const char *file;
        bool black;
        QString caption;
    };
    const Sign signs[] = {{"pictures/black.gif", true, QStringLiteral("Чёрные клавиши")},
                          {"pictures/white.gif", false, QStringLiteral("Белые клавиши")}};
    for (const Sign &s : signs) {
        Canvas c(220, 120);
        c.card(QRectF(2, 2, 216, 116), s.black ? QColor(0x3A, 0x36, 0x30) : Canvas::paper,
               Canvas::ink, 10);
        keyboard(c, QRectF(40, 12, 140, 66), s.black, !s.black);
        c.text(QRectF(4, 84, 212, 30), s.caption, 18, true, s.black ? Canvas::paper : Canvas::ink);
        c.saveGif(out, QString::fromLatin1(s.file));
    }
}

void PagePictures::orderSigns(const OutputFolder &out)
{
    struct Order
    {
        const char *file;
        QColor first, second;
    };
    const Order orders[] = {{"pictures/black-white.gif", Canvas::ink, Canvas::paper},
                            {"pictures/white-black.gif", Canvas::paper, Canvas::ink}};
    for (const Order &o : orders) {
        Canvas c(36, 25, kClear);
        c.card(QRectF(1, 2, 15, 21), o.first, Canvas::ink, 3);
        c.card(QRectF(20, 2, 15, 21), o.second, Canvas::ink, 3);
        c.saveGif(out, QString::fromLatin1(o.file));
    }
}

} // namespace nk
