#include "course/inidocument.h"

#include "course/cp1251.h"
#include "course/logging.h"

namespace nk {

namespace {

QByteArray trimmed(const QByteArray &text)
{
    return text.trimmed();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Names are listed once, in file order, spelt as they first appear.
void appendUnique(QStringList &names, const QString &name)
{
    const bool seen = std::any_of(names.cbegin(), names.cend(),
                                  [&](const QString &n) { return sameName(n, name); });
    if (!seen)
        names.append(name);
}

} // namespace

IniDocument IniDocument::parse(const QByteArray &bytes, const QString &origin)
{
    IniDocument doc;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    int strayLines = 0;
    int firstStray = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        Line line{bytes.mid(start, end - start), {}};
        if (end < size) {
            const bool crlf = bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n';
            line.terminator = bytes.mid(end, crlf ? 2 : 1);
        }
        start = end + line.terminator.size();
        Parsed parsed = parseLine(line.text);
        if (parsed.kind == Kind::Other && !trimmed(line.text).isEmpty() &&
            !line.text.trimmed().startsWith(';') && ++strayLines == 1)
            firstStray = int(doc.m_lines.size()) + 1;
        doc.m_lines.append(line);
        doc.m_parsed.append(parsed);
    }
    if (strayLines > 0)
        qCWarning(lcCourse).noquote() << origin << "line" << firstStray << ":" << strayLines
                                      << "line(s) that are neither a section nor a key";
    return doc;
}

IniDocument::Parsed IniDocument::parseLine(const QByteArray &text)
{
    const QByteArray t = trimmed(text);
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0)
            return {Kind::Section, Cp1251::decode(t.mid(1, close - 1).trimmed()), {}};
    }
    const qsizetype eq = t.indexOf('=');
    if (eq > 0 && !t.startsWith(';'))
        return {Kind::Key, Cp1251::decode(t.left(eq).trimmed()),
                Cp1251::decode(t.mid(eq + 1).trimmed())};
    return {};
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    for (const Line &line : m_lines)
        out += line.text + line.terminator;
    return out;
}

QStringList IniDocument::sections() const
{
    QStringList names;
    for (const Parsed &p : m_parsed) {
        if (p.kind == Kind::Section)
            appendUnique(names, p.name);
    }
    return names;
}

QStringList IniDocument::keys(QStringView section) const
{
    QStringList names;
    const int header = findSection(section);
    if (header < 0)
        return names;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (m_parsed[i].kind == Kind::Key)
            appendUnique(names, m_parsed[i].name);
    }
    return names;
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
    const QByteArray text = key + '=' + value;
    const Parsed parsed{Kind::Key, Cp1251::decode(key), Cp1251::decode(value.trimmed())};
    const QByteArray eol = newLineTerminator();
    int header = findSection(Cp1251::decode(section));
    if (header >= 0) {
        const int line = findKey(header, parsed.name);
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
    m_lines.append(Line{'[' + section + ']', eol});
    m_parsed.append(Parsed{Kind::Section, Cp1251::decode(section), {}});
    m_lines.append(Line{text, eol});
    m_parsed.append(parsed);
}

} // namespace nk
