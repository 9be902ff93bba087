#include "programcopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace nk::test {

namespace {

bool copyDatFiles(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    const QStringList names = QDir(from).entryList({QStringLiteral("*.dat")}, QDir::Files);
    for (const QString &name : names) {
        if (name == QLatin1String("settings.dat") || name == QLatin1String("log.dat"))
            continue;
        if (!QFile::copy(from + u'/' + name, to + u'/' + name))
            return false;
    }
    return !names.isEmpty();
}

} // namespace

bool ProgramCopy::make(const QString &folder)
{
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    QDir(folder).removeRecursively();
    if (!copyDatFiles(program + QStringLiteral("/levels"), folder + QStringLiteral("/levels")))
        return false;
    for (const char *level : {"01", "02"}) {
        const QString relative = QStringLiteral("/levels/") + QLatin1String(level);
        if (!copyDatFiles(program + relative, folder + relative))
            return false;
    }
    QFile settings(folder + QStringLiteral("/levels/settings.dat"));
    return settings.open(QIODevice::WriteOnly) && settings.write("[main]\r\nfirstrun=0\r\n") > 0 &&
           QFile::link(program + QStringLiteral("/pictures"), folder + QStringLiteral("/pictures"));
}

bool ProgramCopy::copyTree(const QString &from, const QString &to)
{
    QDir(to).removeRecursively();
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    if (!QDir().mkpath(to))
        return false;
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + u'/' + QDir(from).relativeFilePath(path);
        bool ok = true;
        if (info.isSymLink())
            ok = QDir().mkpath(QFileInfo(target).path()) &&
                 QFile::link(info.symLinkTarget(), target);
        else if (info.isDir())
            ok = QDir().mkpath(target);
        else
            ok = QDir().mkpath(QFileInfo(target).path()) && QFile::copy(path, target);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace nk::test
