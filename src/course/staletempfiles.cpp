#include "course/staletempfiles.h"

#include "course/replacementfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace nk {

namespace {

// Only names the program makes itself: the temporary a replaced file is
// written under, and the upload copy, which lies only in levels\ itself.
bool isStale(const QString &name, bool topFolder)
{
    static const QRegularExpression uploadCopy(QStringLiteral("^DEMO_.+_log\\.dat$"),
                                               QRegularExpression::CaseInsensitiveOption);
    return ReplacementFile::isOwnTemporary(name) ||
           (topFolder && uploadCopy.match(name).hasMatch());
}

void removeIn(const QString &folder, bool topFolder, const QDateTime &before, QStringList &removed)
{
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString path = folder + QLatin1Char('/') + name;
        if (!isStale(name, topFolder))
            continue;
        if (before.isValid() && QFileInfo(path).lastModified() >= before)
            continue;
        if (QFile::remove(path))
            removed << path;
    }
}

} // namespace

QStringList StaleTempFiles::remove(const BasePath &base, const QDateTime &before)
{
    QStringList removed;
    const QString levels = base.resolve(QStringLiteral("levels"));
    if (levels.isEmpty())
        return removed;
    removeIn(levels, true, before, removed);
    const QStringList folders = QDir(levels).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : folders)
        removeIn(levels + QLatin1Char('/') + folder, false, before, removed);
    return removed;
}

} // namespace nk
