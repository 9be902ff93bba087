#include "keyboard/surfacefill.h"

#include <QImage>
#include <vector>

namespace nk {

namespace {

constexpr QRgb kColourBits = 0x00FFFFFF;

class Region
{
public:
    Region(QImage &image, QRgb from, QRgb to)
        : m_bits(reinterpret_cast<QRgb *>(image.bits())),
          m_stride(int(image.bytesPerLine() / sizeof(QRgb))), m_width(image.width()),
          m_height(image.height()), m_from(from & kColourBits), m_to(to | ~kColourBits)
    {
    }

    bool matches(int x, int y) const { return (pixel(x, y) & kColourBits) == m_from; }

    // Fills the run through (x, y) and queues the runs touching it above and below.
    int fillRun(int x, int y, std::vector<QPoint> &pending)
    {
        int left = x;
        while (left > 0 && matches(left - 1, y))
            --left;
        int right = x;
        while (right + 1 < m_width && matches(right + 1, y))
            ++right;
        for (int i = left; i <= right; ++i)
            pixel(i, y) = m_to;
        queueRuns(left, right, y - 1, pending);
        queueRuns(left, right, y + 1, pending);
        return right - left + 1;
    }

private:
    QRgb &pixel(int x, int y) const { return m_bits[y * m_stride + x]; }

    void queueRuns(int left, int right, int y, std::vector<QPoint> &pending) const
    {
        if (y < 0 || y >= m_height)
            return;
        bool inRun = false;
        for (int x = left; x <= right; ++x) {
            const bool hit = matches(x, y);
            if (hit && !inRun)
                pending.emplace_back(x, y);
            inRun = hit;
        }
    }

    QRgb *m_bits;
    int m_stride;
    int m_width;
    int m_height;
    QRgb m_from;
    QRgb m_to;
};

} // namespace

int SurfaceFill::fill(QImage &image, QPoint seed, QRgb from, QRgb to)
{
    Q_ASSERT(image.depth() == 32);
    if (!image.rect().contains(seed) || (from & kColourBits) == (to & kColourBits))
        return 0;
    Region region(image, from, to);
    if (!region.matches(seed.x(), seed.y()))
        return 0;
    int filled = 0;
    std::vector<QPoint> pending{seed};
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        if (region.matches(p.x(), p.y())) // an earlier run may have taken it
            filled += region.fillRun(p.x(), p.y(), pending);
    }
    return filled;
}

} // namespace nk
