#include "canvas.h"

#include "generationerror.h"
#include "gifwriter.h"
#include "outputfolder.h"

#include <QPainterPath>

namespace nk {

const QColor Canvas::green(0x84, 0xC2, 0x25);
const QColor Canvas::blue(0x33, 0x33, 0x99);
const QColor Canvas::red(0xFF, 0x00, 0x00);
const QColor Canvas::yellow(0xFD, 0xFD, 0x72);
const QColor Canvas::sky(0xA6, 0xCA, 0xF0);
const QColor Canvas::purple(0x80, 0x00, 0x80);
const QColor Canvas::ink(0x24, 0x21, 0x1D);
const QColor Canvas::paper(0xFF, 0xFF, 0xFF);
const QColor Canvas::brown(0x9A, 0x63, 0x38);

Canvas::Canvas(int width, int height, const QColor &background)
    : m_image(width, height, QImage::Format_ARGB32)
{
    m_image.fill(background);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
}

Canvas::~Canvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

QFont Canvas::font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

void Canvas::text(const QRectF &box, const QString &text, int pixelSize, bool bold,
                  const QColor &colour, int flags)
{
    m_painter.setFont(font(pixelSize, bold));
    m_painter.setPen(colour);
    m_painter.drawText(box, flags, text);
}

void Canvas::card(const QRectF &box, const QColor &fill, const QColor &border, double radius)
{
    m_painter.setPen(QPen(border, 2));
    m_painter.setBrush(fill);
    m_painter.drawRoundedRect(box, radius, radius);
}

void Canvas::dot(const QPointF &centre, double radius, const QColor &fill, const QColor &border)
{
    m_painter.setPen(QPen(border, 1.5));
    m_painter.setBrush(fill);
    m_painter.drawEllipse(centre, radius, radius);
}

void Canvas::noteSign(const QPointF &head, double size, const QColor &colour)
{
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    m_painter.translate(head);
    m_painter.rotate(-20);
    m_painter.drawEllipse(QPointF(0, 0), size * 0.62, size * 0.45);
    m_painter.restore();
    m_painter.setPen(QPen(colour, std::max(1.5, size * 0.14)));
    const QPointF top(head.x() + size * 0.55, head.y() - size * 2.2);
    m_painter.drawLine(QPointF(head.x() + size * 0.55, head.y() - size * 0.1), top);
    QPainterPath flag(top);
    flag.cubicTo(top + QPointF(size * 0.2, size * 0.6), top + QPointF(size * 1.1, size * 0.6),
                 top + QPointF(size * 0.8, size * 1.4));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(flag);
}

QImage Canvas::finish()
{
    if (m_painter.isActive())
        m_painter.end();
    return m_image;
}

void Canvas::saveGif(const OutputFolder &out, const QString &relative)
{
    GifWriter::write(finish(), out.prepare(relative));
}

void Canvas::saveBmp(const OutputFolder &out, const QString &relative)
{
    if (out.keepsLearnerFile(relative))
        return;
    const QString path = out.prepare(relative);
    if (!finish().convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
        throw GenerationError(QStringLiteral("cannot write ") + path);
}

} // namespace nk
