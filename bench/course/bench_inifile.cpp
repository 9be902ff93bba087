// Time of reading keys from a course data file of ordinary size and from one
// padded to 10 MB, as the pages read them: one key at a time, each read
// through its own IniFile call. "parsed every time" forgets the parse before
// every read, as the program did before it kept them; "read, parse kept" is a
// file changed moments ago, read whole and compared; "not read again" one
// whose stamp shows it unchanged since.

#include "course/filestamp.h"
#include "course/inicache.h"
#include "course/inifile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <limits>

using namespace nk;

namespace {

constexpr int kKeys = 20;
constexpr qsizetype kPadding = 10 * 1024 * 1024;

QByteArray notesFile(int notes)
{
    QByteArray text = "[step]\r\nname=Notes of the level\r\n";
    for (int k = 1; k <= notes; ++k)
        text += "[note" + QByteArray::number(k) + "]\r\noct=5\r\nnote=" + QByteArray::number(k) +
                "\r\npict=pictures\\notes\\first\\00do.gif\r\n";
    return text;
}

QByteArray padded(QByteArray text)
{
    for (int line = 0; text.size() < kPadding; ++line)
        text += "x" + QByteArray::number(line) + "=\xcf\xee\xec\xe5\xf5\xe0 padding line\r\n";
    return text;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Milliseconds for kKeys reads spread over the file's sections.
double readKeys(const QString &path, bool forget)
{
    const IniFile file(path);
    QElapsedTimer clock;
    clock.start();
    int sum = 0;
    for (int i = 0; i < kKeys; ++i) {
        if (forget)
            IniCache::clear();
        sum += file.readInteger(QStringLiteral("note%1").arg(i % 4 + 1), u"note", 0);
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (sum == 0)
        std::printf("unexpected: no key found in %s\n", qPrintable(path));
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("normal.dat"));
    const QString large = dir.filePath(QStringLiteral("large.dat"));
    if (!write(normal, notesFile(4)) || !write(large, padded(notesFile(4))))
        return 1;
    std::printf("reading %d keys, each through its own call (ms a key)\n", kKeys);
    std::printf("%-10s %9s %18s %22s %18s\n", "file", "bytes", "parsed every time",
                "read, parse kept", "not read again");
    for (const QString &path : {normal, large}) {
        IniCache::clear();
        const double cold = readKeys(path, true);
        // A file changed within the last moments is read and compared with
        // what was parsed; one that has settled is not read while its stamp holds.
        FileStamp::setSettleTime(std::numeric_limits<qint64>::max());
        readKeys(path, false); // the first read parses
        const double compared = readKeys(path, false);
        FileStamp::setSettleTime(0);
        readKeys(path, false); // stores the stamp
        const double stamped = readKeys(path, false);
        FileStamp::setSettleTime(FileStamp::DefaultSettleNsec);
        std::printf("%-10s %9lld %18.3f %22.3f %18.3f\n", qPrintable(QFileInfo(path).fileName()),
                    QFileInfo(path).size(), cold / kKeys, compared / kKeys, stamped / kKeys);
    }
    return 0;
}
