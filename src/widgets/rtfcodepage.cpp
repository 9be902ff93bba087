#include "widgets/rtfcodepage.h"

#include "course/cp1251.h"

#include <QStringDecoder>

namespace nk {

int RtfCodepage::forCharset(int charset, int documentCodepage)
{
    switch (charset) {
    case 0:
        return 1252;
    case 204:
        return 1251;
    case 238:
        return 1250;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 163:
        return 1258;
    default:
        return documentCodepage;
    }
}

QString RtfCodepage::decode(QByteArrayView bytes, int codepage)
{
    if (codepage < 1250 || codepage > 1258 || codepage == 1251)
        return Cp1251::decode(bytes);
    const QByteArray name = "windows-" + QByteArray::number(codepage);
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return Cp1251::decode(bytes);
    return decoder.decode(bytes);
}

} // namespace nk
