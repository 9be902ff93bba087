#pragma once

#include <QImage>
#include <QString>

namespace nk {

// Writes a picture as a GIF file with giflib (Qt reads GIF but cannot write
// it). Fully transparent pixels stay transparent; everything else is reduced
// to at most 255 colours.
class GifWriter
{
public:
    // Throws GenerationError when the file cannot be written.
    static void write(const QImage &image, const QString &path);
};

} // namespace nk
