#pragma once

#include <QPoint>
#include <QRgb>

class QImage;

namespace nk {

// Surface flood fill: the region of exactly one colour that contains the seed
// (pixels joined side by side) takes another colour. Nothing changes when the
// seed has a different colour, so a fill is safe to repeat.
class SurfaceFill
{
public:
    // Returns the number of pixels recoloured. The image must be 32-bit RGB;
    // alpha is ignored when matching and opaque when writing.
    static int fill(QImage &image, QPoint seed, QRgb from, QRgb to);
};

} // namespace nk
