#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>
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
    // The section's keys as keys() lists them, each with the value value() gives.
    QList<QPair<QString, QString>> entries(QStringView section) const;

    // Sets an already encoded value: replaces the key's line where it stands,
    // appends a new key at the end of its section, a new section at the end.
    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    // The same as setValue for each pair in turn, in one pass over the section.
    void setValues(const QByteArray &section, const QList<QPair<QByteArray, QByteArray>> &values);

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
    void setLine(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    int appendAt(int headerLine) const;
    void insertLines(int at, const QList<Line> &lines, const QList<Parsed> &parsed);
    bool setPlainValues(int headerLine, const QList<QPair<QByteArray, QByteArray>> &values);

    void indexSections();
    void forgetKeyLists();

    QList<Line> m_lines;
    QList<Parsed> m_parsed;
    // Folded section name: its first header line. Made after parsing and after
    // every change, as a large file of junk has many thousand lines and pages
    // look up its sections hundreds of times; the copies handed out share it.
    std::shared_ptr<const QHash<QString, int>> m_sectionIndex;
    // Header line: the section's key list, made when first asked for. Drills count a
    // section's keys for every question, and a section of junk has many thousand; the
    // copies handed out share the lists until one of them is changed.
    struct KeyLists
    {
        std::mutex lock;
        QHash<int, QStringList> bySection;
    };
    std::shared_ptr<KeyLists> m_keyLists = std::make_shared<KeyLists>();
};

} // namespace nk
