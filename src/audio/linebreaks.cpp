#include "audio/linebreaks.h"

namespace nk {

QString ExpandLineBreaks(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('&'), QChar(13));
    return result;
}

} // namespace nk
