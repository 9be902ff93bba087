// Draws the on-screen keyboard's picture into the PNG file named on the
// command line; the build packs it into the program.

#include "keyboarddrawing.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

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
    const QImage picture =
        nk::keyboardgen::KeyboardDrawing::draw().convertToFormat(QImage::Format_RGB888);
    if (!picture.save(output, "PNG")) {
        std::fprintf(stderr, "nk_keyboardgen: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
