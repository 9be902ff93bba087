#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace nk {

class IniDocument;

// One INI-style data file of the course. Every call opens and reads the file,
// does its work and closes it again, so the file is always the truth; only the
// parse of bytes seen before is reused (IniCache).
// Reads never fail: a missing or unreadable file, section or key, or a value of
// the wrong kind, yields the caller's default. Writes go to a temporary file that
// replaces the original in one rename, and throw FileError when that fails, when
// the file is there but cannot be read (its other keys would be lost) or when
// the value holds a character Windows-1251 cannot store.
class IniFile
{
public:
    static constexpr int MaxStringLength = 2047;
    // What a text the course lacks reads as on its pages.
    static inline const QString NoData = QStringLiteral("нет данных");

    explicit IniFile(QString path);
    const QString &path() const { return m_path; }

    QString readString(QStringView section, QStringView key, const QString &def) const;
    int readInteger(QStringView section, QStringView key, int def) const;
    bool readBool(QStringView section, QStringView key, bool def) const;
    QStringList sections() const;
    QStringList keys(QStringView section) const;

    struct Entry
    {
        QString key;
        QString value;
    };
    // The section's keys as keys() lists them, each with its whole value (which
    // readString would shorten to MaxStringLength), from one read of the file.
    QList<Entry> entries(QStringView section) const;
    // The whole values of these keys of the section, from one read of the file.
    QList<std::optional<QString>> values(QStringView section, const QStringList &keys) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    // Sets the values one after another as writeString would, in one write of
    // the file: all of them are stored or, when the write fails, none.
    void writeStrings(const QString &section, const QList<Entry> &values);

    // The integer rule of the data files: decimal, or hexadecimal after 0x/0X.
    static std::optional<int> parseInteger(QStringView text);

    // Runs after the new contents are written to the temporary file and before
    // it replaces the original; lets tests interrupt a write at its worst moment.
    static void setBeforeCommitHook(std::function<void()> hook);

private:
    void commit(const IniDocument &doc);

    QString m_path;
};

} // namespace nk
