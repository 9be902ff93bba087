#include "course/inidocument.h"

#include "course/cp1251.h"
#include "course/logging.h"

#include <QHash>
#include <QSet>
#include <cstring>

namespace nk {

namespace {

// Lines end at CR LF, LF or a lone CR. The next of each is looked up once and
// kept, so a large file is scanned at the speed of memchr.
class LineBreaks
{
public:
    LineBreaks(const char *begin, const char *end) : m_end(end)
    {
        m_cr = next(begin, '\r');
        m_lf = next(begin, '\n');
    }

    const char *lineEnd(const char *from)
    {
        if (m_cr < from)
            m_cr = next(from, '\r');
        if (m_lf < from)
            m_lf = next(from, '\n');
        return std::min(m_cr, m_lf);
    }

private:
    const char *next(const char *from, char c) const
    {
        if (from >= m_end)
            return m_end; // also keeps the null data of an empty array from memchr
        const void *hit = std::memchr(from, c, std::size_t(m_end - from));
        return hit ? static_cast<const char *>(hit) : m_end;
    }

    const char *m_end;
    const char *m_cr;
    const char *m_lf;
};

// An upper bound of the number of lines, so the lists never grow while parsing.
qsizetype lineBreakCount(QByteArrayView bytes)
{
    qsizetype count = 0;
    if (bytes.isEmpty())
        return count; // memchr must not see the null data of an empty array
    for (const char c : {'\r', '\n'}) {
        const char *p = bytes.data();
        const char *const end = p + bytes.size();
        while (const void *hit = std::memchr(p, c, std::size_t(end - p))) {
            ++count;
            p = static_cast<const char *>(hit) + 1;
        }
    }
    return count;
}

// Terminators are shared, not copied for every line.
QByteArray terminatorAt(const char *at, const char *end)
{
    static const QByteArray crlf = QByteArrayLiteral("\r\n");
    static const QByteArray lf = QByteArrayLiteral("\n");
    static const QByteArray cr = QByteArrayLiteral("\r");
    if (at == end)
        return {};
    if (*at == '\n')
        return lf;
    return at + 1 < end && at[1] == '\n' ? crlf : cr;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Names are listed once, in file order, spelt as they first appear. The names
// seen are kept folded, so a long list is made in one pass.
class UniqueNames
{
public:
    void add(const QString &name)
    {
        const QString folded = name.toCaseFolded();
        if (m_seen.contains(folded))
            return;
        m_seen.insert(folded);
        m_names.append(name);
    }
    QStringList names() const { return m_names; }

private:
    QSet<QString> m_seen;
    QStringList m_names;
};

} // namespace

IniDocument IniDocument::parse(const QByteArray &bytes, const QString &origin)
{
    IniDocument doc;
    const char *const begin = bytes.constData();
    const char *const end = begin + bytes.size();
    LineBreaks breaks(begin, end);
    const qsizetype lines = lineBreakCount(bytes) + 1;
    doc.m_lines.reserve(lines);
    doc.m_parsed.reserve(lines);
    int strayLines = 0;
    int firstStray = 0;
    for (const char *start = begin; start < end;) {
        const char *eol = breaks.lineEnd(start);
        Line line{bytes.mid(start - begin, eol - start), terminatorAt(eol, end)};
        start = eol + line.terminator.size();
        const Parsed parsed = parseLine(line.text);
        if (parsed.kind == Kind::Other) {
            const QByteArrayView t = QByteArrayView(line.text).trimmed();
            if (!t.isEmpty() && !t.startsWith(';') && ++strayLines == 1)
                firstStray = int(doc.m_lines.size()) + 1;
        }
        doc.m_lines.append(std::move(line));
        doc.m_parsed.append(parsed);
    }
    doc.indexSections();
    if (strayLines > 0)
        qCWarning(lcCourse).noquote() << origin << "line" << firstStray << ":" << strayLines
                                      << "line(s) that are neither a section nor a key";
    return doc;
}

IniDocument::Parsed IniDocument::parseLine(QByteArrayView text)
{
    const QByteArrayView t = text.trimmed();
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0)
            return {Kind::Section, Cp1251::decode(t.sliced(1, close - 1).trimmed()), {}};
        // A header that lost its bracket is no key either: written back with a
        // value holding ']', such a key would become a section header.
        return {};
    }
    const qsizetype eq = t.indexOf('=');
    if (eq > 0 && !t.startsWith(';'))
        return {Kind::Key, Cp1251::decode(t.first(eq).trimmed()),
                Cp1251::decode(t.sliced(eq + 1).trimmed())};
    return {};
}

QByteArray IniDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Line &line : m_lines)
        size += line.text.size() + line.terminator.size();
    QByteArray out;
    out.reserve(size);
    for (const Line &line : m_lines) {
        out += line.text;
        out += line.terminator;
    }
    return out;
}

QStringList IniDocument::sections() const
{
    UniqueNames names;
    for (const Parsed &p : m_parsed) {
        if (p.kind == Kind::Section)
            names.add(p.name);
    }
    return names.names();
}

QStringList IniDocument::keys(QStringView section) const
{
    const int header = findSection(section);
    if (header < 0)
        return {};
    const std::lock_guard guard(m_keyLists->lock);
    const auto known = m_keyLists->bySection.constFind(header);
    if (known != m_keyLists->bySection.cend())
        return *known;
    UniqueNames names;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (m_parsed[i].kind == Kind::Key)
            names.add(m_parsed[i].name);
    }
    return *m_keyLists->bySection.insert(header, names.names());
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const
{
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const int line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    return m_parsed[line].value;
}

QList<QPair<QString, QString>> IniDocument::entries(QStringView section) const
{
    QList<QPair<QString, QString>> out;
    const int header = findSection(section);
    if (header < 0)
        return out;
    QSet<QString> seen;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Parsed &p = m_parsed[i];
        if (p.kind != Kind::Key)
            continue;
        const QString folded = p.name.toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        out.append({p.name, p.value});
    }
    return out;
}

int IniDocument::findSection(QStringView section) const
{
    if (!m_sectionIndex)
        return -1; // a document of no lines
    return m_sectionIndex->value(section.toString().toCaseFolded(), -1);
}

void IniDocument::indexSections()
{
    auto index = std::make_shared<QHash<QString, int>>();
    for (int i = 0; i < m_parsed.size(); ++i) {
        if (m_parsed[i].kind != Kind::Section)
            continue;
        const QString folded = m_parsed[i].name.toCaseFolded();
        if (!index->contains(folded)) // the first one wins
            index->insert(folded, i);
    }
    m_sectionIndex = std::move(index);
}

// Replaced, not cleared: other copies of the document still hold the lists.
void IniDocument::forgetKeyLists()
{
    m_keyLists = std::make_shared<KeyLists>();
}

int IniDocument::sectionEnd(int headerLine) const
{
    int i = headerLine + 1;
    while (i < m_parsed.size() && m_parsed[i].kind != Kind::Section)
        ++i;
    return i;
}

int IniDocument::findKey(int headerLine, QStringView key) const
{
    const int end = sectionEnd(headerLine);
    for (int i = headerLine + 1; i < end; ++i) {
        if (m_parsed[i].kind == Kind::Key && sameName(m_parsed[i].name, key))
            return i;
    }
    return -1;
}

QByteArray IniDocument::newLineTerminator() const
{
    for (const Line &line : m_lines) {
        if (!line.terminator.isEmpty())
            return line.terminator;
    }
    return QByteArrayLiteral("\r\n");
}

void IniDocument::ensureLastLineTerminated()
{
    if (!m_lines.isEmpty() && m_lines.last().terminator.isEmpty())
        m_lines.last().terminator = newLineTerminator();
}

void IniDocument::setValue(const QByteArray &section, const QByteArray &key,
                           const QByteArray &value)
{
    forgetKeyLists();
    setLine(section, key, value);
    // A new line moves the sections after it; a key line may even become one.
    indexSections();
}

void IniDocument::setLine(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    // Lines are parsed as a fresh read of the file would parse them, so this
    // document always equals the parse of its own bytes.
    const QByteArray text = key + '=' + value;
    const Parsed parsed = parseLine(text);
    const QByteArray eol = newLineTerminator();
    int header = findSection(Cp1251::decode(section));
    if (header >= 0) {
        const int line = findKey(header, Cp1251::decode(key));
        if (line >= 0) {
            m_lines[line].text = text;
            m_parsed[line] = parsed;
            return;
        }
        const int at = appendAt(header);
        if (at == m_lines.size())
            ensureLastLineTerminated();
        m_lines.insert(at, Line{text, eol});
        m_parsed.insert(at, parsed);
        return;
    }
    ensureLastLineTerminated();
    const QByteArray headerText = '[' + section + ']';
    m_lines.append(Line{headerText, eol});
    m_parsed.append(parseLine(headerText));
    m_lines.append(Line{text, eol});
    m_parsed.append(parsed);
}

// After the section's last non-blank line, so blank separators stay last.
int IniDocument::appendAt(int headerLine) const
{
    int at = sectionEnd(headerLine);
    while (at - 1 > headerLine && m_lines[at - 1].text.trimmed().isEmpty())
        --at;
    return at;
}

void IniDocument::setValues(const QByteArray &section,
                            const QList<QPair<QByteArray, QByteArray>> &values)
{
    if (values.isEmpty())
        return;
    forgetKeyLists();
    // The first value makes the section when it is missing.
    setValue(section, values.first().first, values.first().second);
    const int header = findSection(Cp1251::decode(section));
    if (header >= 0 && setPlainValues(header, values.mid(1)))
        return;
    for (qsizetype i = 1; i < values.size(); ++i)
        setValue(section, values[i].first, values[i].second);
}

// Keys are looked up in a table instead of a scan of the section for each, and
// new keys are inserted all at once. Declines, changing nothing, when a line
// would not read back as the key it was written for (a name holding '=',
// blanks around it, a leading '[' or ';'): then each is set in turn.
bool IniDocument::setPlainValues(int headerLine, const QList<QPair<QByteArray, QByteArray>> &values)
{
    QList<Line> lines;
    QList<Parsed> parsed;
    for (const auto &[key, value] : values) {
        lines.append(Line{key + '=' + value, {}});
        parsed.append(parseLine(lines.last().text));
        if (parsed.last().kind != Kind::Key || parsed.last().name != Cp1251::decode(key))
            return false;
    }
    QHash<QString, int> where; // folded key: its line, or -1 - its place among the new
    const int end = sectionEnd(headerLine);
    for (int i = headerLine + 1; i < end; ++i) {
        if (m_parsed[i].kind != Kind::Key)
            continue;
        const QString folded = m_parsed[i].name.toCaseFolded();
        if (!where.contains(folded)) // the first one wins
            where.insert(folded, i);
    }
    QList<Line> added;
    QList<Parsed> addedParsed;
    const QByteArray eol = newLineTerminator();
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString folded = parsed[n].name.toCaseFolded();
        const auto found = where.constFind(folded);
        if (found != where.cend() && *found >= 0) {
            m_lines[*found].text = lines[n].text;
            m_parsed[*found] = parsed[n];
        } else if (found != where.cend()) {
            added[-1 - *found].text = lines[n].text;
            addedParsed[-1 - *found] = parsed[n];
        } else {
            where.insert(folded, -1 - int(added.size()));
            added.append(Line{lines[n].text, eol});
            addedParsed.append(parsed[n]);
        }
    }
    insertLines(appendAt(headerLine), added, addedParsed);
    return true;
}

void IniDocument::insertLines(int at, const QList<Line> &lines, const QList<Parsed> &parsed)
{
    if (lines.isEmpty())
        return;
    if (at == m_lines.size())
        ensureLastLineTerminated();
    // Rebuilt rather than inserted line by line, which would move the tail each time.
    QList<Line> newLines = m_lines.first(at);
    newLines.reserve(m_lines.size() + lines.size());
    newLines.append(lines);
    newLines.append(m_lines.sliced(at));
    QList<Parsed> newParsed = m_parsed.first(at);
    newParsed.reserve(m_parsed.size() + parsed.size());
    newParsed.append(parsed);
    newParsed.append(m_parsed.sliced(at));
    m_lines = std::move(newLines);
    m_parsed = std::move(newParsed);
    indexSections();
}

} // namespace nk
