#include "rtfwriter.h"

#include "course/cp1251.h"
#include "generationerror.h"

#include <QRegularExpression>
#include <QStringList>

namespace nk {

namespace {

// Colour 1 is the program's blue of active entries, colour 2 the link blue.
const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
                           "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
                           "{\\colortbl ;\\red51\\green51\\blue153;\\red0\\green0\\blue255;}"
                           "\\viewkind4\\uc1\\pard\\f0\\fs18\r\n";
const QByteArray kBullet = "\\'95 ";

} // namespace

QByteArray RtfWriter::fromMarkup(const QString &markup)
{
    QByteArray out = kHeader;
    for (const QString &raw : markup.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (!line.isEmpty())
            out += paragraph(line);
    }
    return out + "}\r\n";
}

QByteArray RtfWriter::paragraph(const QString &line)
{
    if (line.startsWith(QStringLiteral("# ")))
        return "\\pard\\sb120\\sa60{\\b\\fs22\\cf1 " + inlineText(line.mid(2)) + "}\\par\r\n";
    if (line.startsWith(QStringLiteral("- ")))
        return "\\pard\\fi-180\\li360\\sa40 " + kBullet + inlineText(line.mid(2)) + "\\par\r\n";
    return "\\pard\\sa80 " + inlineText(line) + "\\par\r\n";
}

QByteArray RtfWriter::inlineText(const QString &text)
{
    static const QRegularExpression link(QStringLiteral("https?://\\S+"));
    QByteArray out;
    qsizetype pos = 0;
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += escaped(text.mid(pos, m.capturedStart() - pos));
        out += "{\\ul\\cf2 " + escaped(m.captured()) + "}";
        pos = m.capturedEnd();
    }
    return out + escaped(text.mid(pos));
}

QByteArray RtfWriter::escaped(const QString &text)
{
    QByteArray bytes;
    if (!Cp1251::encode(text, bytes))
        throw GenerationError(QStringLiteral("text without a Windows-1251 form: ") + text);
    QByteArray out;
    for (const char c : std::as_const(bytes)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}')
            out += '\\';
        if (u >= 0x80)
            out += "\\'" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

} // namespace nk
