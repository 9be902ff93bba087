#include "gifwriter.h"

#include "generationerror.h"

#include <gif_lib.h>
#include <memory>

namespace nk {

namespace {

struct Indexed
{
    QImage image;         // Format_Indexed8
    int transparent = -1; // palette index of transparent pixels, or -1
};

// Antialiased edges against transparency are flattened onto white, then
// pixels under half coverage become the transparent index.
Indexed quantise(const QImage &source)
{
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    QImage flat(argb.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    bool anyTransparent = false;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) < 128)
                anyTransparent = true;
            else
                flat.setPixel(x, y, argb.pixel(x, y) | 0xff000000u);
    Indexed out{flat.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither), -1};
    if (!anyTransparent)
        return out;
    QList<QRgb> table = out.image.colorTable();
    if (table.size() >= 256)
        throw GenerationError(QStringLiteral("no palette entry left for transparency"));
    out.transparent = int(table.size());
    table.append(qRgb(255, 255, 255));
    out.image.setColorTable(table);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) < 128)
                out.image.setPixel(x, y, uint(out.transparent));
    return out;
}

std::unique_ptr<ColorMapObject, void (*)(ColorMapObject *)> colourMap(const QList<QRgb> &table)
{
    int size = 2;
    while (size < table.size())
        size *= 2;
    std::unique_ptr<ColorMapObject, void (*)(ColorMapObject *)> map(GifMakeMapObject(size, nullptr),
                                                                    GifFreeMapObject);
    for (int i = 0; i < size; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        map->Colors[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    return map;
}

void check(bool ok, GifFileType *gif, const QString &path)
{
    if (ok)
        return;
    const int code = gif ? gif->Error : 0;
    throw GenerationError(QStringLiteral("cannot write ") + path + QStringLiteral(": ") +
                          QString::fromLatin1(GifErrorString(code)));
}

} // namespace

void GifWriter::write(const QImage &image, const QString &path)
{
    Indexed indexed = quantise(image);
    auto map = colourMap(indexed.image.colorTable());
    int error = 0;
    GifFileType *gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
    check(gif != nullptr, gif, path);
    EGifSetGifVersion(gif, true);
    const int w = indexed.image.width();
    const int h = indexed.image.height();
    bool ok = EGifPutScreenDesc(gif, w, h, map->BitsPerPixel, 0, map.get()) == GIF_OK;
    if (ok && indexed.transparent >= 0) {
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, indexed.transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&gcb, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < h; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType *>(indexed.image.constScanLine(y)), w) ==
             GIF_OK;
    const int code = gif->Error;
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok)
        throw GenerationError(QStringLiteral("cannot write ") + path + QStringLiteral(": ") +
                              QString::fromLatin1(GifErrorString(ok ? error : code)));
}

} // namespace nk
