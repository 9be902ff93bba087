#include "course/basepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace nk {

namespace {

// Finds `name` in `dir`, first exactly, then ignoring letter case.
QString matchEntry(const QString &dir, const QString &name)
{
    if (QFileInfo::exists(dir + QLatin1Char('/') + name))
        return name;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

bool isUnsafe(const QString &path)
{
    if (path.startsWith(QLatin1Char('/')) || QDir::isAbsolutePath(path))
        return true;
    if (path.size() >= 2 && path[1] == QLatin1Char(':')) // a drive letter
        return true;
    const QStringList parts = path.split(QLatin1Char('/'));
    return parts.contains(QLatin1String(".."));
}

} // namespace

BasePath::BasePath(QString folder) : m_folder(std::move(folder))
{
    while (m_folder.size() > 1 && m_folder.endsWith(QLatin1Char('/')))
        m_folder.chop(1);
}

BasePath BasePath::ofApplication()
{
    return BasePath(QCoreApplication::applicationDirPath());
}

QString BasePath::resolve(const QString &relative) const
{
    QString path = relative;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.isEmpty() || isUnsafe(path))
        return {};
    QString result = m_folder;
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        result += QLatin1Char('/') + matchEntry(result, part);
    }
    return result;
}

} // namespace nk
