// Draws the exit button's strip into the PNG file named on the command line;
// the build packs it into the program.

#include "exitstrip.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // fonts for the lettering
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: nk_artworkgen OUTPUT.png\n");
        return 2;
    }
    const QString output = args.at(1);
    QDir().mkpath(QFileInfo(output).absolutePath());
    if (!nk::artworkgen::ExitStrip::draw().save(output, "PNG")) {
        std::fprintf(stderr, "nk_artworkgen: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
