#include "datafiles.h"

#include "course/cp1251.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace nk::test {

QStringList DataFiles::iniFiles()
{
    return {QStringLiteral("levels/settings.dat"), QStringLiteral("levels/01/level.dat"),
            QStringLiteral("levels/01/notes.dat"), QStringLiteral("levels/02/level.dat"),
            QStringLiteral("levels/02/notes.dat")};
}

QByteArray DataFiles::readAll(const QString &path, bool *exists)
{
    QFile file(path);
    const bool open = file.open(QIODevice::ReadOnly);
    if (exists)
        *exists = open;
    return open ? file.readAll() : QByteArray();
}

QString DataFiles::digest(const QString &folder)
{
    QStringList parts;
    for (const QString &name : iniFiles()) {
        bool exists = false;
        const QByteArray bytes = readAll(folder + u'/' + name, &exists);
        parts << (exists ? QString::fromLatin1(
                               QCryptographicHash::hash(bytes, QCryptographicHash::Sha1)
                                   .toHex()
                                   .left(16))
                         : QStringLiteral("-"));
    }
    return parts.join(u' ');
}

// Records are "date[ time] - message" followed by LF CR.
DataFiles::Log DataFiles::readLog(const QString &folder)
{
    static const QRegularExpression head(
        QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d{1,2}:\\d\\d:\\d\\d)? - "));
    Log log;
    const QByteArray bytes = readAll(folder + u'/' + logFile());
    QList<QByteArray> records = bytes.split('\x0D');
    if (!records.takeLast().isEmpty()) {
        log.error = QStringLiteral("the log ends inside a record");
        return log;
    }
    for (const QByteArray &record : std::as_const(records)) {
        const QString line = Cp1251::decode(record);
        const QRegularExpressionMatch m = head.match(line);
        if (!line.endsWith(u'\n') || !m.hasMatch()) {
            log.error = QStringLiteral("malformed record: ") + line;
            return log;
        }
        log.messages << line.mid(m.capturedLength()).chopped(1);
    }
    log.whole = true;
    return log;
}

bool DataFiles::isIniText(const QByteArray &bytes, QString *error)
{
    if (!bytes.isEmpty() && !bytes.endsWith('\n')) {
        *error = QStringLiteral("the file does not end with a line end");
        return false;
    }
    for (const QByteArray &raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        const bool section = line.startsWith('[') && line.endsWith(']');
        if (!line.isEmpty() && !section && !line.contains('=')) {
            *error = QStringLiteral("not an INI line: ") + Cp1251::decode(line);
            return false;
        }
    }
    return true;
}

QStringList DataFiles::strayFiles(const QString &folder)
{
    QStringList known = iniFiles();
    known << logFile();
    QStringList stray;
    for (const QString &dir :
         {QStringLiteral("levels"), QStringLiteral("levels/01"), QStringLiteral("levels/02")}) {
        const QStringList entries =
            QDir(folder + u'/' + dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &entry : entries) {
            const QString relative = dir + u'/' + entry;
            if (!known.contains(relative) && entry.contains(QLatin1String(".dat.")))
                stray << relative;
        }
    }
    return stray;
}

} // namespace nk::test
