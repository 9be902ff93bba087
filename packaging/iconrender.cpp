// Renders the program's icon, the bird of its window and tray icon, as PNG files
// for the desktop: <dir>/<size>x<size>/apps/notoklyuv.png for every size given.
#include "app/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("usage: nk_iconrender <icon theme dir> <size>...\n", stderr);
        return 2;
    }
    for (const QString &text : args.mid(2)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        const QString dir =
            args[1] + QLatin1Char('/') + text + QLatin1Char('x') + text + QStringLiteral("/apps");
        if (!ok || size <= 0 || !QDir().mkpath(dir) ||
            !nk::Artwork::icon(size).save(dir + QStringLiteral("/notoklyuv.png"))) {
            std::fprintf(stderr, "cannot write the %s icon into %s\n", qPrintable(text),
                         qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
