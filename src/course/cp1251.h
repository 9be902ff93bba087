#pragma once

#include <QByteArray>
#include <QString>

namespace nk {

// The one place where the course's Windows-1251 text is decoded and encoded.
class Cp1251
{
public:
    static QString decode(QByteArrayView bytes);

    // Encodes text; returns false (and leaves `out` undefined) when a character
    // has no Windows-1251 form, so that nothing is ever silently replaced.
    static bool encode(QStringView text, QByteArray &out);

    static bool canEncode(QStringView text);
    static bool canEncode(QChar c);
};

} // namespace nk
