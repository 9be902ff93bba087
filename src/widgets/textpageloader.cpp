#include "widgets/textpageloader.h"

#include "course/cp1251.h"
#include "widgets/fonts.h"
#include "widgets/linkdetector.h"
#include "widgets/rtfreader.h"

#include <QTextDocument>

namespace nk {

bool TextPageLoader::isRtf(QByteArrayView fileBytes)
{
    return fileBytes.startsWith("{\\rtf");
}

void TextPageLoader::load(QByteArrayView fileBytes, QTextDocument *doc)
{
    doc->setDefaultFont(Fonts::arial(11));
    if (isRtf(fileBytes)) {
        RtfReader::read(fileBytes, doc);
    } else {
        QString text = Cp1251::decode(fileBytes);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        doc->setPlainText(text);
    }
    LinkDetector::apply(doc);
}

} // namespace nk
