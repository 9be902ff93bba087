#include "course/cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace nk {

namespace {
constexpr const char *kCodecName = "windows-1251";
}

QString Cp1251::decode(QByteArrayView bytes)
{
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
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
