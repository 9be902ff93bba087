// Fuzzes the data-file layer: parse bytes, format them back, read every section,
// key and integer, and apply writes, checking after each write that the other lines keep
// their bytes, every other value still reads the same, and the written value
// reads back.
//
// Input: the bytes of a data file, optionally followed by a NUL byte and one
// write "section\x01key\x01value". Whatever the input, writes are also derived
// from the file itself: the names it reports are written back with awkward values.

#include "course/cp1251.h"
#include "course/inidocument.h"
#include "course/inifile.h"
#include "fuzzcheck.h"

#include <QList>
#include <QLoggingCategory>
#include <QMap>
#include <cstdint>

using nk::IniDocument;

namespace {

struct Write
{
    QByteArray section;
    QByteArray key;
    QByteArray value;
    bool clean; // names the file format reads back as themselves
};

struct RawLine
{
    QByteArray text;
    QByteArray terminator;
    bool operator==(const RawLine &) const = default;
};

// The document's contents as the reading side sees them.
using Snapshot = QMap<QString, QMap<QString, QString>>;

QString show(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toPercentEncoding(" =[];"));
}

QList<RawLine> splitLines(const QByteArray &bytes)
{
    QList<RawLine> lines;
    qsizetype i = 0;
    while (i < bytes.size()) {
        qsizetype end = i;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        qsizetype next = end;
        if (end < bytes.size())
            next += bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
        lines.append({bytes.mid(i, end - i), bytes.mid(end, next - end)});
        i = next;
    }
    return lines;
}

Snapshot snapshot(const IniDocument &doc)
{
    Snapshot s;
    const QStringList sections = doc.sections();
    for (const QString &section : sections) {
        NK_FUZZ_CHECK(!s.contains(section.toCaseFolded()), section);
        QMap<QString, QString> &values = s[section.toCaseFolded()];
        for (const QString &key : doc.keys(section)) {
            NK_FUZZ_CHECK(!values.contains(key.toCaseFolded()), key);
            const std::optional<QString> v = doc.value(section, key);
            NK_FUZZ_CHECK(v.has_value(), section + u'/' + key);
            values.insert(key.toCaseFolded(), *v);
        }
    }
    return s;
}

// A name the format reads back unchanged: no surrounding blanks, no character
// that ends the name or makes the line something else.
bool cleanSection(const QByteArray &s)
{
    return s.trimmed() == s && !s.contains(']');
}

bool cleanKey(const QByteArray &k)
{
    return !k.isEmpty() && k.trimmed() == k && !k.contains('=') && !k.startsWith(';') &&
           !k.startsWith('[');
}

QByteArray singleLine(QByteArray s)
{
    s.replace('\r', ' ');
    s.replace('\n', ' ');
    return s;
}

QList<Write> writesFor(const IniDocument &doc, const QByteArray &request, bool hasRequest)
{
    QList<Write> writes;
    const QList<QByteArray> values = {"", " padded ", "a=b", "]", "[x]", ";c", "\xc4\xee"};
    if (hasRequest) {
        const QList<QByteArray> parts = request.split('\x01');
        const QByteArray section = singleLine(parts.value(0));
        const QByteArray key = singleLine(parts.value(1));
        writes.append({section, key, singleLine(parts.mid(2).join('\x01')),
                       cleanSection(section) && cleanKey(key)});
    }
    const QStringList sections = doc.sections();
    for (qsizetype i = 0; i < qMin<qsizetype>(sections.size(), 2); ++i) {
        QByteArray section;
        nk::Cp1251::encode(sections[i], section);
        const QStringList keys = doc.keys(sections[i]);
        // Names the document reports must be writable as they are.
        for (const QByteArray &value : i == 0 ? values : values.mid(3, 1)) {
            if (!keys.isEmpty()) {
                QByteArray key;
                nk::Cp1251::encode(keys.first(), key);
                writes.append({section, key, value, true});
            }
            writes.append({section, "nkfuzz", value, true});
        }
    }
    writes.append({"nkfuzz section", "k", "v", true});
    return writes;
}

// Lines outside the written one keep their bytes; only the old last line may
// gain a terminator, when something is appended after it.
void checkLines(const QByteArray &before, const QByteArray &after, const Write &w)
{
    const QList<RawLine> old = splitLines(before);
    const QList<RawLine> now = splitLines(after);
    const QString where = show(before) + u" -> " + show(after);
    const auto sameLine = [&](qsizetype i, qsizetype j) {
        if (old[i].text != now[j].text)
            return false;
        if (old[i].terminator == now[j].terminator)
            return true;
        return i == old.size() - 1 && old[i].terminator.isEmpty() && j < now.size() - 1;
    };
    qsizetype prefix = 0;
    while (prefix < old.size() && prefix < now.size() && sameLine(prefix, prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           sameLine(old.size() - 1 - suffix, now.size() - 1 - suffix))
        ++suffix;
    const qsizetype removed = old.size() - prefix - suffix;
    const qsizetype added = now.size() - prefix - suffix;
    NK_FUZZ_CHECK(removed <= 1 && added >= removed && added <= removed + 2, where);
    if (added == 0)
        return; // the key's line already read exactly so
    NK_FUZZ_CHECK(now[now.size() - 1 - suffix].text == w.key + '=' + w.value, where);
    if (added == 2) {
        NK_FUZZ_CHECK(removed == 0 && suffix == 0, where);
        NK_FUZZ_CHECK(now[prefix].text == '[' + w.section + ']', where);
    }
    for (qsizetype i = prefix; i < now.size() - suffix - 1; ++i)
        NK_FUZZ_CHECK(!now[i].terminator.isEmpty(), where);
}

void checkValues(const Snapshot &before, const Snapshot &after, const Write &w)
{
    const QString section = nk::Cp1251::decode(w.section).toCaseFolded();
    const QString key = nk::Cp1251::decode(w.key).toCaseFolded();
    const QString expected = nk::Cp1251::decode(w.value.trimmed());
    const QString where = show(w.section) + u'/' + show(w.key) + u'=' + show(w.value);
    NK_FUZZ_CHECK(after.value(section).value(key, QStringLiteral("\x01missing")) == expected,
                  where);
    for (auto s = before.cbegin(); s != before.cend(); ++s) {
        NK_FUZZ_CHECK(after.contains(s.key()), where + u" lost section " + s.key());
        for (auto k = s->cbegin(); k != s->cend(); ++k) {
            if (s.key() == section && k.key() == key)
                continue;
            NK_FUZZ_CHECK(after.value(s.key()).value(k.key()) == k.value(),
                          where + u" changed " + s.key() + u'/' + k.key());
        }
    }
    const qsizetype grew = after.size() - before.size();
    NK_FUZZ_CHECK(grew == (before.contains(section) ? 0 : 1), where);
}

void checkWrite(const IniDocument &doc, const QByteArray &bytes, const Snapshot &before,
                const Write &w)
{
    IniDocument written = doc;
    written.setValue(w.section, w.key, w.value);
    const QByteArray after = written.toBytes();
    const IniDocument reread = IniDocument::parse(after);
    const Snapshot now = snapshot(reread);
    // What the document holds in memory is what a later read of the file finds.
    NK_FUZZ_CHECK(snapshot(written) == now, show(after));
    checkLines(bytes, after, w);
    if (w.clean)
        checkValues(before, now, w);
}

// Whatever integer a value reads as, the program writes it back in a form that
// reads as the same integer: decimal as written, or its 32-bit hexadecimal pattern.
void checkIntegers(const Snapshot &values)
{
    for (const QMap<QString, QString> &keys : values) {
        for (const QString &text : keys) {
            const std::optional<int> v = nk::IniFile::parseInteger(text);
            if (!v)
                continue;
            const QString hex = QStringLiteral("0x") + QString::number(quint32(*v), 16);
            NK_FUZZ_CHECK(nk::IniFile::parseInteger(QString::number(*v)) == v, text);
            NK_FUZZ_CHECK(nk::IniFile::parseInteger(hex) == v, text + u' ' + hex);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.warning=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = input.lastIndexOf('\0');
    const QByteArray bytes = nul < 0 ? input : input.left(nul);
    const IniDocument doc = IniDocument::parse(bytes);
    NK_FUZZ_CHECK(doc.toBytes() == bytes, show(bytes));
    const Snapshot before = snapshot(doc);
    checkIntegers(before);
    for (const Write &w : writesFor(doc, input.mid(nul + 1), nul >= 0))
        checkWrite(doc, bytes, before, w);
    return 0;
}
