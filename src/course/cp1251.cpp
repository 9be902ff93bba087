#include "course/cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace nk {

namespace {
constexpr const char *kCodecName = "windows-1251";

// Every byte stands for one character on its own, so the codec's answer for
// each byte, asked once, decodes any text; opening the codec for every line
// of a large file costs far more than the lookup.
const std::array<char16_t, 256> &decodingTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            QStringDecoder decoder(kCodecName);
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            t[std::size_t(b)] = one.size() == 1 ? one.front().unicode() : char16_t(0xFFFD);
        }
        return t;
    }();
    return table;
}
} // namespace

QString Cp1251::decode(QByteArrayView bytes)
{
    const std::array<char16_t, 256> &table = decodingTable();
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char byte : bytes)
        *out++ = table[std::size_t(quint8(byte))];
    return text;
}

bool Cp1251::encode(QStringView text, QByteArray &out)
{
    QStringEncoder encoder(kCodecName);
    out = encoder.encode(text);
    return !encoder.hasError();
}

bool Cp1251::canEncode(QStringView text)
{
    QByteArray unused;
    return encode(text, unused);
}

bool Cp1251::canEncode(QChar c)
{
    // ASCII is always representable; this keeps per-keystroke checks cheap.
    if (c.unicode() < 0x80)
        return true;
    return canEncode(QStringView(&c, 1));
}

} // namespace nk
