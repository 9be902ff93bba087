#include "widgets/rtftokenizer.h"

#include <limits>

namespace nk {

namespace {

// Longer names are not RTF; cutting them keeps a run of letters in junk cheap.
constexpr qsizetype kMaxWordLength = 32;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RtfTokenizer::Token token(RtfTokenizer::Kind kind)
{
    RtfTokenizer::Token t;
    t.kind = kind;
    return t;
}

bool endsText(char c)
{
    return c == '{' || c == '}' || c == '\\';
}

} // namespace

RtfTokenizer::Token RtfTokenizer::next()
{
    while (m_pos < m_in.size()) {
        const char c = m_in[m_pos];
        if (c == '{' || c == '}') {
            ++m_pos;
            return token(c == '{' ? Kind::GroupOpen : Kind::GroupClose);
        }
        if (c == '\\')
            return readControl();
        // Line ends carry no meaning in RTF, and other control bytes are junk.
        if (static_cast<unsigned char>(c) < 0x20) {
            ++m_pos;
            continue;
        }
        return readText();
    }
    return token(Kind::End);
}

RtfTokenizer::Token RtfTokenizer::readControl()
{
    ++m_pos; // the backslash
    if (m_pos >= m_in.size())
        return token(Kind::End);
    const char c = m_in[m_pos];
    if (isLetter(c))
        return readControlWord();
    if (c == '\'')
        return readHexByte();
    ++m_pos;
    Token t = token(Kind::ControlSymbol);
    t.symbol = c;
    return t;
}

RtfTokenizer::Token RtfTokenizer::readControlWord()
{
    const qsizetype start = m_pos;
    while (m_pos < m_in.size() && isLetter(m_in[m_pos]))
        ++m_pos;
    Token t = token(Kind::ControlWord);
    t.word = m_in.sliced(start, qMin(m_pos - start, kMaxWordLength));
    t.param = readParam(t.hasParam);
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos; // the delimiting blank belongs to the control word
    if (t.word == "bin" && t.hasParam)
        skipBinary(t.param);
    return t;
}

int RtfTokenizer::readParam(bool &has)
{
    bool negative = false;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    // Saturate rather than overflow: a huge number in a broken file still ends.
    constexpr long long kLimit = std::numeric_limits<int>::max();
    long long value = 0;
    has = false;
    while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
        has = true;
        value = qMin(kLimit, value * 10 + (m_in[m_pos] - '0'));
        ++m_pos;
    }
    return static_cast<int>(negative ? -value : value);
}

void RtfTokenizer::skipBinary(int count)
{
    if (count > 0)
        m_pos += qMin<qsizetype>(count, m_in.size() - m_pos);
}

RtfTokenizer::Token RtfTokenizer::readHexByte()
{
    ++m_pos; // the quote
    const int hi = m_pos < m_in.size() ? hexValue(m_in[m_pos]) : -1;
    const int lo = m_pos + 1 < m_in.size() ? hexValue(m_in[m_pos + 1]) : -1;
    if (hi < 0 || lo < 0) {
        // A broken escape shows nothing; what follows is read as usual.
        Token t = token(Kind::ControlSymbol);
        t.symbol = '\'';
        return t;
    }
    m_pos += 2;
    Token t = token(Kind::HexByte);
    t.symbol = static_cast<char>(hi * 16 + lo);
    return t;
}

RtfTokenizer::Token RtfTokenizer::readText()
{
    const qsizetype start = m_pos;
    while (m_pos < m_in.size() && !endsText(m_in[m_pos]) &&
           static_cast<unsigned char>(m_in[m_pos]) >= 0x20)
        ++m_pos;
    Token t = token(Kind::Text);
    t.word = m_in.sliced(start, m_pos - start);
    return t;
}

} // namespace nk
