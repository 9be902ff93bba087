#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace nk {

// An INI-style data file held as its lines. Lines the document does not change
// keep their bytes exactly, terminators included. Section and key names match
// without regard to letter case; the first of duplicate sections or keys wins.
class IniDocument
{
public:
    static IniDocument parse(const QByteArray &bytes, const QString &origin = {});
    QByteArray toBytes() const;

    QStringList sections() const;
    QStringList keys(QStringView section) const;
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Sets an already encoded value: replaces the key's line where it stands,
    // appends a new key at the end of its section, a new section at the end.
    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);

private:
    struct Line
    {
        QByteArray text;       // without terminator
        QByteArray terminator; // "\r\n", "\n", "\r" or empty on the last line
    };
    enum class Kind
    {
        Other,
        Section,
        Key
    };
    struct Parsed
    {
        Kind kind = Kind::Other;
        QString name;  // section or key name
        QString value; // key value
    };

    static Parsed parseLine(QByteArrayView text);
    int findSection(QStringView section) const;
    int sectionEnd(int headerLine) const;
    int findKey(int headerLine, QStringView key) const;
    QByteArray newLineTerminator() const;
    void ensureLastLineTerminated();

    QList<Line> m_lines;
    QList<Parsed> m_parsed;
};

} // namespace nk
