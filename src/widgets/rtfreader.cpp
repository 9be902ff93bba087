#include "widgets/rtfreader.h"

#include "widgets/rtfcodepage.h"

#include <QRegularExpression>
#include <QTextDocument>
#include <array>
#include <string_view>
#include <utility>

namespace nk {

namespace {

// Destinations whose content is never shown (pictures, objects, document
// properties, headers, tables of other kinds).
constexpr std::array<std::string_view, 32> kSkippedDestinations = {
    "pict",         "object",    "info",
    "stylesheet",   "header",    "headerl",
    "headerr",      "headerf",   "footer",
    "footerl",      "footerr",   "footerf",
    "footnote",     "listtable", "listoverridetable",
    "revtbl",       "rsidtbl",   "xmlnstbl",
    "filetbl",      "themedata", "colorschememapping",
    "latentstyles", "datastore", "nonshppict",
    "private",      "template",  "annotation",
    "atnid",        "atnauthor", "generator",
    "pntxta",       "pntxtb"};

bool isSkippedDestination(QByteArrayView word)
{
    const std::string_view w(word.data(), static_cast<size_t>(word.size()));
    for (std::string_view d : kSkippedDestinations) {
        if (d == w)
            return true;
    }
    return false;
}

// RTF sizes are half-points; the program is laid out at 96 dots per inch.
int pixelsForHalfPoints(int halfPoints)
{
    constexpr int kMaxPixels = 1000;
    return qBound(1, qRound(qMin(halfPoints, 3 * kMaxPixels) / 3.0 * 2.0), kMaxPixels);
}

QString hyperlinkTarget(const QString &instruction)
{
    static const QRegularExpression re(
        QString::fromUtf8(R"re(^\s*HYPERLINK\s+(?:"([^"]*)"|([^\s"\\]+)))re"));
    const QRegularExpressionMatch m = re.match(instruction);
    if (!m.hasMatch())
        return {};
    return m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
}

} // namespace

void RtfReader::read(QByteArrayView rtf, QTextDocument *doc)
{
    doc->clear();
    RtfReader reader(doc);
    // Inside one edit block the cursor does not lay out the paragraph again
    // after every insertion, which made a long paragraph of many differently
    // formatted runs take time quadratic in its length.
    reader.m_cursor.beginEditBlock();
    reader.run(rtf);
    reader.m_cursor.endEditBlock();
}

RtfReader::RtfReader(QTextDocument *doc) : m_cursor(doc), m_docCodepage(RtfCodepage::kDefault)
{
    m_stack.reserve(kMaxDepth + 1);
    m_stack.emplace_back();
}

void RtfReader::run(QByteArrayView rtf)
{
    RtfTokenizer tokenizer(rtf);
    for (;;) {
        const RtfTokenizer::Token t = tokenizer.next();
        if (t.kind == RtfTokenizer::Kind::End)
            break;
        handle(t);
    }
    flush();
}

void RtfReader::handle(const RtfTokenizer::Token &t)
{
    using Kind = RtfTokenizer::Kind;
    switch (t.kind) {
    case Kind::GroupOpen:
        openGroup();
        break;
    case Kind::GroupClose:
        closeGroup();
        break;
    case Kind::ControlWord:
        controlWord(t.word, t.param, t.hasParam);
        break;
    case Kind::ControlSymbol:
        controlSymbol(t.symbol);
        break;
    case Kind::HexByte:
        if (!skipFallback())
            bytes(QByteArrayView(&t.symbol, 1));
        break;
    case Kind::Text:
        bytes(t.word);
        break;
    case Kind::End:
        break;
    }
}

void RtfReader::openGroup()
{
    m_skip = 0;
    if (m_stack.size() > kMaxDepth) {
        ++m_overflow;
        return;
    }
    State inner = state();
    inner.starred = false;
    m_stack.push_back(std::move(inner));
}

void RtfReader::closeGroup()
{
    m_skip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (state().dest == Dest::ColorTable && m_rgb[0] + m_rgb[1] + m_rgb[2] > -3)
        textToColorTable(";"); // a last entry without its semicolon still counts
    // A stray closing brace is dropped: text after it is still shown.
    if (m_stack.size() > 1)
        m_stack.pop_back();
}

void RtfReader::controlWord(QByteArrayView word, int param, bool hasParam)
{
    const bool skippingFallback = skipFallback();
    if (word == "u") {
        if (!skippingFallback)
            unicode(param);
        return;
    }
    if (destinationWord(word))
        return;
    if (state().starred || state().dest == Dest::Skip || skippingFallback)
        return;
    if (formattingWord(word, param, hasParam) || paragraphWord(word) || tableWord(word, param))
        return;
    characterWord(word);
}

bool RtfReader::destinationWord(QByteArrayView word)
{
    State &s = state();
    if (s.dest == Dest::Skip)
        return true;
    if (word == "fonttbl") {
        s.dest = Dest::FontTable;
    } else if (word == "colortbl") {
        s.dest = Dest::ColorTable;
    } else if (word == "field") {
        m_fields.emplace_back();
        s.field = static_cast<int>(m_fields.size()) - 1;
    } else if (word == "fldinst") {
        s.dest = s.field >= 0 ? Dest::FieldInst : Dest::Skip;
    } else if (word == "fldrslt") {
        s.dest = Dest::Text;
        if (s.field >= 0)
            s.href = hyperlinkTarget(m_fields[size_t(s.field)].instruction);
    } else if (s.starred || isSkippedDestination(word)) {
        s.dest = Dest::Skip;
    } else {
        return false;
    }
    s.starred = false;
    return true;
}

bool RtfReader::formattingWord(QByteArrayView word, int param, bool hasParam)
{
    State &s = state();
    const bool on = !hasParam || param != 0;
    if (word == "b") {
        s.bold = on;
    } else if (word == "i") {
        s.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
               word == "uldash" || word == "ulwave" || word == "ulth") {
        s.underline = on;
    } else if (word == "ulnone") {
        s.underline = false;
    } else if (word == "fs") {
        s.halfPoints = hasParam && param > 0 ? param : 0;
    } else if (word == "cf") {
        s.color = param;
    } else if (word == "plain") {
        s.bold = s.italic = s.underline = false;
        s.font = -1;
        s.halfPoints = 0;
        s.color = 0;
    } else if (word == "uc") {
        s.uc = qBound(0, param, 16);
    } else {
        return false;
    }
    return true;
}

bool RtfReader::paragraphWord(QByteArrayView word)
{
    State &s = state();
    if (word == "par" || word == "page" || word == "sect") {
        paragraph();
    } else if (word == "pard") {
        s.align = Qt::AlignLeft;
    } else if (word == "ql") {
        s.align = Qt::AlignLeft;
    } else if (word == "qc") {
        s.align = Qt::AlignHCenter;
    } else if (word == "qr") {
        s.align = Qt::AlignRight;
    } else if (word == "qj") {
        s.align = Qt::AlignJustify;
    } else {
        return false;
    }
    return true;
}

bool RtfReader::tableWord(QByteArrayView word, int param)
{
    State &s = state();
    if (word == "f") {
        if (s.dest == Dest::FontTable) {
            m_tableFont = param;
            m_fonts.insert(param, m_fonts.value(param));
        } else {
            s.font = param;
        }
    } else if (word == "fcharset") {
        if (s.dest == Dest::FontTable && m_fonts.contains(m_tableFont))
            m_fonts[m_tableFont].charset = param;
    } else if (word == "deff") {
        m_defaultFont = param;
    } else if (word == "ansicpg") {
        m_docCodepage = param;
    } else if (word == "red" || word == "green" || word == "blue") {
        const int i = word == "red" ? 0 : word == "green" ? 1 : 2;
        m_rgb[i] = qBound(0, param, 255);
    } else {
        return false;
    }
    return true;
}

bool RtfReader::characterWord(QByteArrayView word)
{
    static const std::array<std::pair<std::string_view, char16_t>, 11> kChars = {{
        {"tab", u'\t'},
        {"cell", u'\t'},
        {"line", u'\u2028'},
        {"emdash", u'\u2014'},
        {"endash", u'\u2013'},
        {"bullet", u'\u2022'},
        {"lquote", u'\u2018'},
        {"rquote", u'\u2019'},
        {"ldblquote", u'\u201C'},
        {"rdblquote", u'\u201D'},
        {"emspace", u'\u2003'},
    }};
    if (word == "row") {
        paragraph();
        return true;
    }
    const std::string_view w(word.data(), static_cast<size_t>(word.size()));
    for (const auto &[name, ch] : kChars) {
        if (name == w) {
            text(QString(QChar(ch)));
            return true;
        }
    }
    return false;
}

void RtfReader::controlSymbol(char c)
{
    if (c == '*') {
        state().starred = true;
        return;
    }
    if (skipFallback() || state().dest == Dest::Skip)
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        bytes(QByteArrayView(&c, 1));
        break;
    case '~':
        text(QString(QChar::Nbsp));
        break;
    case '_':
        text(QString(QChar(0x2011)));
        break;
    case '\n':
    case '\r':
        paragraph();
        break;
    default:
        break; // \- (optional hyphen) and unknown symbols show nothing
    }
}

// Drops one character of the fallback text that follows \u; true if it did.
bool RtfReader::skipFallback()
{
    if (m_skip <= 0)
        return false;
    --m_skip;
    return true;
}

void RtfReader::bytes(QByteArrayView data)
{
    const qsizetype dropped = qMin<qsizetype>(m_skip, data.size());
    m_skip -= int(dropped);
    data = data.sliced(dropped);
    if (data.isEmpty())
        return;
    switch (state().dest) {
    case Dest::ColorTable:
        textToColorTable(data);
        break;
    case Dest::Skip:
        break;
    default:
        text(RtfCodepage::decode(data, codepage()));
        break;
    }
}

void RtfReader::unicode(int param)
{
    m_skip = 0;
    const auto unit = static_cast<char16_t>(static_cast<unsigned>(param) & 0xFFFFu);
    if (unit != 0)
        text(QString(QChar(unit)));
    m_skip = state().uc;
}

void RtfReader::text(const QString &s)
{
    switch (state().dest) {
    case Dest::Text: {
        if (m_blockAlign != state().align) {
            flush();
            applyAlignment();
        }
        const QTextCharFormat f = charFormat();
        if (f != m_pendingFormat) {
            flush();
            m_pendingFormat = f;
        }
        m_pending += s;
        break;
    }
    case Dest::FieldInst:
        m_fields[size_t(state().field)].instruction += s;
        break;
    case Dest::FontTable:
        textToFontTable(s);
        break;
    default:
        break;
    }
}

void RtfReader::textToFontTable(const QString &s)
{
    auto it = m_fonts.find(m_tableFont);
    if (it == m_fonts.end() || it->named)
        return;
    const qsizetype semicolon = s.indexOf(u';');
    it->name += semicolon < 0 ? s : s.left(semicolon);
    if (semicolon >= 0) {
        it->name = it->name.trimmed();
        it->named = true;
    }
}

void RtfReader::textToColorTable(QByteArrayView data)
{
    for (char c : data) {
        if (c != ';')
            continue;
        const bool automatic = m_rgb[0] + m_rgb[1] + m_rgb[2] == -3;
        m_colors.push_back(
            automatic ? QColor() : QColor(qMax(0, m_rgb[0]), qMax(0, m_rgb[1]), qMax(0, m_rgb[2])));
        m_rgb[0] = m_rgb[1] = m_rgb[2] = -1;
    }
}

void RtfReader::paragraph()
{
    if (state().dest != Dest::Text)
        return;
    flush();
    applyAlignment();
    QTextBlockFormat next = m_cursor.blockFormat();
    next.setAlignment(state().align);
    m_cursor.insertBlock(next, m_pendingFormat);
    m_blockAlign = state().align;
}

void RtfReader::applyAlignment()
{
    if (m_blockAlign == state().align)
        return;
    QTextBlockFormat f = m_cursor.blockFormat();
    f.setAlignment(state().align);
    m_cursor.setBlockFormat(f);
    m_blockAlign = state().align;
}

void RtfReader::flush()
{
    if (m_pending.isEmpty())
        return;
    m_cursor.insertText(m_pending, m_pendingFormat);
    m_pending.clear();
}

int RtfReader::codepage() const
{
    const int index = state().font >= 0 ? state().font : m_defaultFont;
    const auto it = m_fonts.constFind(index);
    if (it == m_fonts.cend())
        return m_docCodepage;
    return RtfCodepage::forCharset(it->charset, m_docCodepage);
}

QTextCharFormat RtfReader::charFormat() const
{
    const State &s = state();
    QTextCharFormat f;
    if (s.bold)
        f.setFontWeight(QFont::Bold);
    if (s.italic)
        f.setFontItalic(true);
    if (s.underline)
        f.setFontUnderline(true);
    if (s.halfPoints > 0)
        f.setProperty(QTextFormat::FontPixelSize, pixelsForHalfPoints(s.halfPoints));
    const auto font = m_fonts.constFind(s.font >= 0 ? s.font : m_defaultFont);
    if (font != m_fonts.cend() && !font->name.isEmpty())
        f.setFontFamilies(QStringList{font->name});
    if (s.color > 0 && size_t(s.color) < m_colors.size() && m_colors[size_t(s.color)].isValid())
        f.setForeground(m_colors[size_t(s.color)]);
    if (!s.href.isEmpty()) {
        f.setAnchor(true);
        f.setAnchorHref(s.href);
    }
    return f;
}

} // namespace nk
