#include "course/inifile.h"

#include "course/cp1251.h"
#include "course/fileerror.h"
#include "course/filestamp.h"
#include "course/inicache.h"
#include "course/inidocument.h"
#include "course/replacementfile.h"
#include "course/writefailure.h"

#include <QFile>
#include <QFileInfo>

namespace nk {

namespace {

// A file whose stamp is the one stored with its parse is not read again;
// otherwise it is read whole and its parse reused while the bytes are those
// parsed before. The stamp is taken before reading, so a change made while
// reading moves it and is seen next time. (Not mapped: a file cut short by
// another program while mapped would crash the comparison.) A document to be
// changed is taken out of the store, so that changing it copies nothing.
// A file that is there but cannot be read is not an empty one: a change
// written over it would keep one key of everything it holds.
IniDocument load(const QString &path, bool forChange = false)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (forChange && QFileInfo::exists(path))
            throw FileError(QStringLiteral("Не удалось записать файл %1: %2")
                                .arg(path, WriteFailure::unreadable(path, file.errorString())));
        return {};
    }
    std::optional<FileStamp> stamp = FileStamp::of(file.handle());
    if (stamp && !stamp->settled())
        stamp.reset();
    std::optional<IniDocument> known;
    if (stamp)
        known = forChange ? IniCache::take(path, *stamp) : IniCache::find(path, *stamp);
    if (known)
        return *std::move(known);
    const QByteArray bytes = file.readAll();
    known = forChange ? IniCache::take(path, bytes) : IniCache::find(path, bytes);
    if (!known)
        known = IniDocument::parse(bytes, path);
    if (!forChange)
        IniCache::store(path, bytes, *known, stamp);
    return *std::move(known);
}

QByteArray encodeOrThrow(const QString &text, const QString &path)
{
    QByteArray bytes;
    if (!Cp1251::encode(text, bytes))
        throw FileError(
            QStringLiteral("Текст \"%1\" содержит символы, которые нельзя записать в файл %2")
                .arg(text, path));
    return bytes;
}

// A value never carries a line break: it would end the line and could inject a key.
QString singleLine(QString value)
{
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

std::function<void()> &beforeCommitHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void IniFile::setBeforeCommitHook(std::function<void()> hook)
{
    beforeCommitHook() = std::move(hook);
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::readString(QStringView section, QStringView key, const QString &def) const
{
    const std::optional<QString> value = load(m_path).value(section, key);
    return value ? value->left(MaxStringLength) : def;
}

std::optional<int> IniFile::parseInteger(QStringView text)
{
    QStringView t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.front() == QLatin1Char('-');
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty() || !std::all_of(t.begin(), t.end(), [base](QChar c) {
            return base == 16 ? isxdigit(c.unicode()) && c.unicode() < 0x80
                              : c.isDigit() && c.unicode() < 0x80;
        }))
        return std::nullopt;
    bool ok = false;
    const qlonglong magnitude = t.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const qlonglong v = negative ? -magnitude : magnitude;
    // Hexadecimal values name a 32-bit pattern, as 0xFFFFFFFF for -1.
    if (base == 16 && !negative && v > INT_MAX && v <= qlonglong(UINT_MAX))
        return int(quint32(v));
    if (v < INT_MIN || v > INT_MAX)
        return std::nullopt;
    return int(v);
}

int IniFile::readInteger(QStringView section, QStringView key, int def) const
{
    const std::optional<QString> value = load(m_path).value(section, key);
    if (!value)
        return def;
    return parseInteger(*value).value_or(def);
}

bool IniFile::readBool(QStringView section, QStringView key, bool def) const
{
    const std::optional<QString> value = load(m_path).value(section, key);
    if (!value)
        return def;
    const std::optional<int> number = parseInteger(*value);
    return number ? *number != 0 : def;
}

QStringList IniFile::sections() const
{
    return load(m_path).sections();
}

QStringList IniFile::keys(QStringView section) const
{
    return load(m_path).keys(section);
}

QList<IniFile::Entry> IniFile::entries(QStringView section) const
{
    QList<Entry> out;
    for (const auto &[key, value] : load(m_path).entries(section))
        out.append({key, value});
    return out;
}

QList<std::optional<QString>> IniFile::values(QStringView section, const QStringList &keys) const
{
    const IniDocument doc = load(m_path);
    QList<std::optional<QString>> out;
    for (const QString &key : keys)
        out.append(doc.value(section, key));
    return out;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    writeStrings(section, {{key, value}});
}

void IniFile::writeStrings(const QString &section, const QList<Entry> &values)
{
    if (values.isEmpty())
        return; // as many writes as values: the file is left as it is
    const QByteArray s = encodeOrThrow(singleLine(section), m_path);
    QList<QPair<QByteArray, QByteArray>> encoded;
    encoded.reserve(values.size());
    for (const Entry &e : values)
        encoded.append(
            {encodeOrThrow(singleLine(e.key), m_path), encodeOrThrow(singleLine(e.value), m_path)});
    IniDocument doc = load(m_path, true);
    doc.setValues(s, encoded);
    commit(doc);
}

void IniFile::commit(const IniDocument &doc)
{
    ReplacementFile file(m_path);
    const auto fail = [&] {
        throw FileError(QStringLiteral("Не удалось записать файл %1: %2")
                            .arg(m_path, WriteFailure::reason(m_path, file.errorString())));
    };
    const QByteArray bytes = doc.toBytes();
    if (!file.open() || !file.write(bytes))
        fail();
    if (beforeCommitHook())
        beforeCommitHook()();
    if (!file.commit())
        fail();
    IniCache::store(m_path, bytes, doc);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace nk
