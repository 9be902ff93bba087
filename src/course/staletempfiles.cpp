#include "course/staletempfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace nk {

namespace {

// The temporary name a replaced file is written under: six letters and digits
// after the data file's name. The upload copy lies only in levels\ itself.
bool isStale(const QString &name, bool topFolder)
{
    static const QRegularExpression replacement(QStringLiteral("^.+\\.dat\\.[A-Za-z0-9]{6}$"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression uploadCopy(QStringLiteral("^DEMO_.+_log\\.dat$"),
                                               QRegularExpression::CaseInsensitiveOption);
    return replacement.match(name).hasMatch() || (topFolder && uploadCopy.match(name).hasMatch());
}

void removeIn(const QString &folder, bool topFolder, QStringList &removed)
{
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString path = folder + QLatin1Char('/') + name;
        if (isStale(name, topFolder) && QFile::remove(path))
            removed << path;
    }
}

} // namespace

QStringList StaleTempFiles::remove(const BasePath &base)
{
    QStringList removed;
    const QString levels = base.resolve(QStringLiteral("levels"));
    if (levels.isEmpty())
        return removed;
    removeIn(levels, true, removed);
    const QStringList folders = QDir(levels).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : folders)
        removeIn(levels + QLatin1Char('/') + folder, false, removed);
    return removed;
}

} // namespace nk
