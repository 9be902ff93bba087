#include "renderrecord.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace nk {

QString RenderRecord::path(const QString &folder)
{
    return QStringLiteral("sound/") + folder + QStringLiteral("/.rendered");
}

// One "name value" pair a line; a file's line is "file <size> <digest> <path>".
RenderRecord RenderRecord::parse(const QByteArray &bytes)
{
    RenderRecord record;
    for (const QByteArray &line : bytes.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2 && words[0] == "key")
            record.key = words[1];
        else if (words.size() == 2 && words[0] == "limit")
            record.limit = words[1].toDouble();
        else if (words.size() == 2 && words[0] == "target")
            record.target = words[1].toDouble();
        else if (words.size() == 4 && words[0] == "file")
            record.files.append({QString::fromUtf8(words[3]), words[1].toLongLong(), words[2]});
    }
    return record;
}

QByteArray RenderRecord::format() const
{
    QByteArray out = "key " + key + '\n';
    out += "limit " + QByteArray::number(limit, 'g', 17) + '\n';
    out += "target " + QByteArray::number(target, 'g', 17) + '\n';
    for (const File &f : files)
        out += "file " + QByteArray::number(f.size) + ' ' + f.digest + ' ' + f.path.toUtf8() + '\n';
    return out;
}

bool RenderRecord::intact(const OutputFolder &out) const
{
    if (files.isEmpty())
        return false;
    for (const File &f : files) {
        QFile file(out.absolute(f.path));
        if (file.size() != f.size || !file.open(QIODevice::ReadOnly) ||
            describe(f.path, file.readAll()).digest != f.digest)
            return false;
    }
    return true;
}

RenderRecord::File RenderRecord::describe(const QString &path, const QByteArray &bytes)
{
    return {path, bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()};
}

} // namespace nk
