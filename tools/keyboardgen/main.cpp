// Draws the on-screen keyboard's picture into the PNG file named on the
// command line; the build packs it into the program.

#include "keyboarddrawing.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
#include <cstdio>

namespace {

// The program decodes the picture before its window is first painted: with
// its few colours in a palette, a third of the bytes to inflate. Only an
// exact palette will do, since the keys are found and coloured by colour.
QImage compact(const QImage &drawn)
{
    const QImage rgb = drawn.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < rgb.height() && colours.size() <= 256; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            colours.insert(line[x]);
    }
    if (colours.size() > 256)
        return rgb.convertToFormat(QImage::Format_RGB888);
    return rgb.convertToFormat(QImage::Format_Indexed8,
                               QList<QRgb>(colours.cbegin(), colours.cend()));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // fonts for the lettering
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: nk_keyboardgen OUTPUT.png\n");
        return 2;
    }
    const QString output = args.at(1);
    QDir().mkpath(QFileInfo(output).absolutePath());
    const QImage picture = compact(nk::keyboardgen::KeyboardDrawing::draw());
    if (!picture.save(output, "PNG")) {
        std::fprintf(stderr, "nk_keyboardgen: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
