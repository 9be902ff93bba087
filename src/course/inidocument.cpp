#include "course/inidocument.h"

#include "course/cp1251.h"
#include "course/logging.h"

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
    UniqueNames names;
    const int header = findSection(section);
    if (header < 0)
        return {};
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (m_parsed[i].kind == Kind::Key)
            names.add(m_parsed[i].name);
    }
    return names.names();
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

int IniDocument::findSection(QStringView section) const
{
    for (int i = 0; i < m_parsed.size(); ++i) {
        if (m_parsed[i].kind == Kind::Section && sameName(m_parsed[i].name, section))
            return i;
    }
    return -1;
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
        // After the section's last non-blank line, so blank separators stay last.
        int at = sectionEnd(header);
        while (at - 1 > header && m_lines[at - 1].text.trimmed().isEmpty())
            --at;
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

} // namespace nk
