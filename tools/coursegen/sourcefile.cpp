#include "sourcefile.h"

#include "generationerror.h"

#include <QFile>

namespace nk {

SourceFile SourceFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw GenerationError(QStringLiteral("cannot read ") + path);
    return parse(QString::fromUtf8(file.readAll()), path);
}

SourceFile SourceFile::parse(const QString &text, const QString &origin)
{
    SourceFile source;
    source.m_origin = origin;
    int lineNo = 0;
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            source.m_sections.append({line.mid(1, line.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || source.m_sections.isEmpty())
            throw GenerationError(origin + QStringLiteral(":") + QString::number(lineNo) +
                                  QStringLiteral(": expected [section] or key=value"));
        source.m_sections.last().entries.append(
            {line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return source;
}

QStringList SourceFile::sections() const
{
    QStringList names;
    for (const Section &s : m_sections)
        names.append(s.name);
    return names;
}

bool SourceFile::hasSection(const QString &section) const
{
    return find(section) != nullptr;
}

QStringList SourceFile::keys(const QString &section) const
{
    QStringList list;
    if (const Section *s = find(section))
        for (const auto &entry : s->entries)
            list.append(entry.first);
    return list;
}

QStringList SourceFile::values(const QString &section) const
{
    QStringList list;
    if (const Section *s = find(section))
        for (const auto &entry : s->entries)
            list.append(entry.second);
    return list;
}

QString SourceFile::value(const QString &section, const QString &key) const
{
    if (const Section *s = find(section))
        for (const auto &entry : s->entries)
            if (entry.first == key)
                return entry.second;
    throw GenerationError(m_origin + QStringLiteral(": missing [") + section +
                          QStringLiteral("] ") + key);
}

QString SourceFile::value(const QString &section, const QString &key, const QString &def) const
{
    if (const Section *s = find(section))
        for (const auto &entry : s->entries)
            if (entry.first == key)
                return entry.second;
    return def;
}

const SourceFile::Section *SourceFile::find(const QString &section) const
{
    for (const Section &s : m_sections)
        if (s.name == section)
            return &s;
    return nullptr;
}

} // namespace nk
