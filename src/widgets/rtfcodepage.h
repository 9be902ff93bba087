#pragma once

#include <QByteArrayView>
#include <QString>

namespace nk {

// Code pages of RTF text: which one a font's \fcharset means, and decoding bytes
// in it. The course writes Russian, so Windows-1251 is what an unnamed or
// unknown code page is taken to be.
class RtfCodepage
{
public:
    static constexpr int kDefault = 1251;

    // The code page of a font's \fcharset, or `documentCodepage` where the
    // charset names none (default, symbol or unknown charsets).
    static int forCharset(int charset, int documentCodepage);

    static QString decode(QByteArrayView bytes, int codepage);
};

} // namespace nk
