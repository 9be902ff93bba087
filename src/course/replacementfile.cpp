#include "course/replacementfile.h"

#include <QFile>
#include <QRegularExpression>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace nk {

bool ReplacementFile::isOwnTemporary(const QString &fileName)
{
    static const QRegularExpression own(QStringLiteral("^.+\\.[A-Za-z0-9]{6}") +
                                        QRegularExpression::escape(suffix()) + QStringLiteral("$"));
    return own.match(fileName).hasMatch();
}

ReplacementFile::ReplacementFile(const QString &path)
    : m_path(path), m_temp(path + QStringLiteral(".XXXXXX") + suffix())
{
}

ReplacementFile::~ReplacementFile() = default;

bool ReplacementFile::open()
{
    if (m_path.isEmpty() || !m_temp.open())
        return false;
    // The file keeps its permissions; a new one gets the usual ones, not the
    // temporary's private ones.
    const QFile::Permissions usual = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                     QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions kept = QFile::permissions(m_path);
    m_temp.setPermissions(kept ? kept : usual);
    return true;
}

bool ReplacementFile::write(const QByteArray &bytes)
{
    return m_temp.write(bytes) == bytes.size();
}

bool ReplacementFile::commit()
{
    if (!m_temp.isOpen() || !m_temp.flush())
        return false;
#ifdef Q_OS_UNIX
    if (::fsync(m_temp.handle()) != 0) // the content is on disk before the name points to it
        return false;
#endif
    const QString temporary = m_temp.fileName();
    m_temp.close();
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(temporary.toStdU16String()),
                            std::filesystem::path(m_path.toStdU16String()), error);
    if (error) {
        m_error = QString::fromLocal8Bit(error.message());
        return false; // the temporary is removed with this object
    }
    m_temp.setAutoRemove(false);
    return true;
}

QString ReplacementFile::errorString() const
{
    return m_error.isEmpty() ? m_temp.errorString() : m_error;
}

} // namespace nk
