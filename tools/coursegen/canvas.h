#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

namespace nk {

class OutputFolder;

// A picture being drawn, with the program's colours and a few shapes that the
// course's pictures share. Text needs a QGuiApplication (offscreen will do).
class Canvas
{
public:
    static const QColor green, blue, red, yellow, sky, purple, ink, paper, brown;

    Canvas(int width, int height, const QColor &background = paper);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    QPainter &painter() { return m_painter; }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }

    void text(const QRectF &box, const QString &text, int pixelSize, bool bold,
              const QColor &colour, int flags = Qt::AlignCenter);
    void card(const QRectF &box, const QColor &fill, const QColor &border, double radius);
    void dot(const QPointF &centre, double radius, const QColor &fill, const QColor &border);
    // A note head with its stem, the course's recurring little emblem.
    void noteSign(const QPointF &head, double size, const QColor &colour);
    static QFont font(int pixelSize, bool bold);

    QImage finish();
    void saveGif(const OutputFolder &out, const QString &relative);
    void saveBmp(const OutputFolder &out, const QString &relative);

private:
    QImage m_image;
    QPainter m_painter;
};

} // namespace nk
