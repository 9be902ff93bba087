#pragma once

#include <QByteArrayView>

class QTextDocument;

namespace nk {

// Fills a document from the bytes of a text page file: RTF when the file
// begins with "{\rtf", otherwise plain Windows-1251 text. Text without its own
// formatting shows in Arial 11 px; web addresses become links either way.
class TextPageLoader
{
public:
    static void load(QByteArrayView fileBytes, QTextDocument *doc);
    static bool isRtf(QByteArrayView fileBytes);
};

} // namespace nk
