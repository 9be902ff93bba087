#include "outputfolder.h"

#include "generationerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace nk {

OutputFolder::OutputFolder(QString root) : m_root(std::move(root)) {}

QString OutputFolder::absolute(const QString &relative) const
{
    return m_root + QLatin1Char('/') + relative;
}

QString OutputFolder::prepare(const QString &relative) const
{
    const QString path = absolute(relative);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw GenerationError(QStringLiteral("cannot create the folder of ") + path);
    return path;
}

bool OutputFolder::keepsLearnerFile(const QString &relative) const
{
    static const QRegularExpression learnerFile(
        QStringLiteral("^levels/[^/]+/(level\\.dat|notes\\.dat|[^/]+\\.bmp)$"),
        QRegularExpression::CaseInsensitiveOption);
    return learnerFile.match(relative).hasMatch() && QFileInfo::exists(absolute(relative));
}

void OutputFolder::write(const QString &relative, const QByteArray &bytes) const
{
    if (keepsLearnerFile(relative))
        return;
    QFile file(prepare(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw GenerationError(QStringLiteral("cannot write ") + file.fileName());
}

} // namespace nk
