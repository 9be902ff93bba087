#include "course/writefailure.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace nk {

// Looked up after the failure, from what the folder looks like now: the
// system's error number is long gone by then.
QString WriteFailure::reason(const QString &path, const QString &systemText)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (file.isDir())
        return QStringLiteral("на его месте папка");
    if (!folder.isDir())
        return QStringLiteral("нет папки ") + QDir::toNativeSeparators(folder.filePath());
    // A replaced file needs the folder writable, an appended one the file.
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return QStringLiteral("нет прав на запись");
    const QStorageInfo disk(folder.filePath());
    if (disk.isValid() && disk.isReadOnly())
        return QStringLiteral("диск защищён от записи");
    if (disk.isValid() && disk.bytesAvailable() == 0)
        return QStringLiteral("на диске нет места");
    return systemText;
}

QString WriteFailure::unreadable(const QString &path, const QString &systemText)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("на его месте папка");
    if (!file.isReadable())
        return QStringLiteral("нет прав на чтение");
    return systemText;
}

} // namespace nk
