#include "widgets/fonts.h"

#include <QStringList>

namespace nk {

QFont Fonts::arial(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(QStringList() << QStringLiteral("Arial") << QStringLiteral("Liberation Sans")
                                   << QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont Fonts::sansSerif(int pixelSize, bool bold, bool underline)
{
    QFont font;
    font.setFamilies(QStringList()
                     << QStringLiteral("MS Sans Serif") << QStringLiteral("Liberation Sans")
                     << QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

} // namespace nk
