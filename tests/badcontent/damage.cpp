#include "damage.h"

#include <QFile>
#include <random>

namespace nk::test {

QString Damager::name(Damage damage)
{
    switch (damage) {
    case Damage::Intact:
        return QStringLiteral("intact");
    case Damage::Emptied:
        return QStringLiteral("emptied");
    case Damage::Halved:
        return QStringLiteral("halved");
    case Damage::Junk:
        return QStringLiteral("junk");
    case Damage::HugeJunk:
        return QStringLiteral("10 MB junk");
    case Damage::Padded:
        return QStringLiteral("padded to 10 MB");
    case Damage::Removed:
        return QStringLiteral("removed");
    }
    return {};
}

QByteArray Damager::junk(qsizetype size)
{
    static const char special[] = {'\0', '\x98', '\r', '\n', '[', ']', '=', ';', '\xff', '&'};
    std::mt19937 random(20261209u);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes) {
        const quint32 r = random();
        b = (r & 0xF00) == 0 ? special[(r >> 16) % sizeof special] : char(r & 0xFF);
    }
    return bytes;
}

QByteArray Damager::padding(qsizetype size, bool iniFile)
{
    QByteArray text;
    text.reserve(size + 64);
    text += "\r\n";
    for (int line = 0; text.size() < size; ++line) {
        if (iniFile)
            text += "x" + QByteArray::number(line) + "=\xef\xe0\xe4\xe4\xe8\xed\xe3 padding\r\n";
        else
            text += "padding line " + QByteArray::number(line) + "\r\n";
    }
    return text;
}

bool Damager::apply(const QString &path, Damage damage)
{
    QFile file(path);
    if (damage == Damage::Intact)
        return true;
    if (damage == Damage::Removed)
        return !file.exists() || file.remove();
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    file.close();
    const bool ini = path.endsWith(QLatin1String(".dat")) && !bytes.startsWith("{\\rtf");
    switch (damage) {
    case Damage::Emptied:
        bytes.clear();
        break;
    case Damage::Halved:
        bytes.truncate(bytes.size() / 2);
        break;
    case Damage::Junk:
        bytes = junk(4096);
        break;
    case Damage::HugeJunk:
        bytes = junk(HugeSize);
        break;
    case Damage::Padded:
        bytes += padding(HugeSize, ini);
        break;
    default:
        break;
    }
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace nk::test
