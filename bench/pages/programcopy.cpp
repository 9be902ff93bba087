#include "programcopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace nk::bench {

QString ProgramCopy::builtFolder()
{
    const QString named = qEnvironmentVariable("NK_PROGRAM_DIR");
    return named.isEmpty() ? QStringLiteral(NK_BUILT_PROGRAM_DIR) : named;
}

bool ProgramCopy::make(QString *error)
{
    const QString from = builtFolder();
    if (!QFile::exists(from + QStringLiteral("/levels/part1.dat"))) {
        *error = QStringLiteral("no course in %1: build the target nk_default_course").arg(from);
        return false;
    }
    if (!m_dir.isValid()) {
        *error = QStringLiteral("cannot make a temporary folder");
        return false;
    }
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = QDir(from).relativeFilePath(file);
        const QString target = m_dir.filePath(relative);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target)) {
            *error = QStringLiteral("cannot copy %1").arg(relative);
            return false;
        }
    }
    return true;
}

} // namespace nk::bench
