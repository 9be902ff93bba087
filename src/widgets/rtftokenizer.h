#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace nk {

// Splits RTF bytes into tokens. Every call consumes at least one byte, so a pass
// over any input, however broken, takes time linear in its length.
class RtfTokenizer
{
public:
    enum class Kind
    {
        End,
        GroupOpen,
        GroupClose,
        ControlWord,
        ControlSymbol,
        HexByte,
        Text
    };

    struct Token
    {
        Kind kind = Kind::End;
        QByteArrayView word; // control word name, or the text run
        int param = 0;
        bool hasParam = false;
        char symbol = 0; // control symbol, or the byte of \'hh
    };

    explicit RtfTokenizer(QByteArrayView input) : m_in(input) {}

    Token next();
    bool atEnd() const { return m_pos >= m_in.size(); }

private:
    Token readControl();
    Token readControlWord();
    Token readHexByte();
    Token readText();
    int readParam(bool &has);
    void skipBinary(int count);

    QByteArrayView m_in;
    qsizetype m_pos = 0;
};

} // namespace nk
