// Time of storing a section of many keys in a data file: one write per key,
// as a note was copied before, against all keys in one write. Each write
// replaces the whole file, so key by key grows with the square of the keys.

#include "course/inifile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace nk;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (int n : {500, 1000, 2000, 100'000}) {
        QTemporaryDir dir;
        QList<IniFile::Entry> values;
        for (int i = 0; i < n; ++i)
            values.append({QStringLiteral("x%1").arg(i), QStringLiteral("value %1").arg(i)});
        QElapsedTimer clock;
        clock.start();
        IniFile(dir.filePath(QStringLiteral("batch.dat")))
            .writeStrings(QStringLiteral("note4"), values);
        const qint64 batch = clock.elapsed();
        if (n > 2000) { // key by key would take hours
            std::printf("%6d keys: one write %lld ms\n", n, batch);
            continue;
        }
        clock.restart();
        IniFile single(dir.filePath(QStringLiteral("single.dat")));
        for (const IniFile::Entry &e : values)
            single.writeString(QStringLiteral("note4"), e.key, e.value);
        std::printf("%6d keys: key by key %lld ms, one write %lld ms\n", n, clock.elapsed(), batch);
    }
    return 0;
}
