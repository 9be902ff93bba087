#include "report/siteopener.h"

#include "report/activitylog.h"

#include <QDesktopServices>

namespace nk {

SiteOpener::SiteOpener(ActivityLog &log) : m_log(log) {}

std::optional<QUrl> SiteOpener::webUrl(const QString &address)
{
    const QString text = address.trimmed();
    QUrl url;
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        url = QUrl(QStringLiteral("http://") + text, QUrl::StrictMode);
    else
        url = QUrl(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    return url;
}

bool SiteOpener::OpenSite(const QString &address)
{
    const std::optional<QUrl> url = webUrl(address);
    if (!url)
        return false;
    QDesktopServices::openUrl(*url);
    m_log.WriteLog(QStringLiteral("Открытие сайта ") + ActivityLog::fromOutside(address));
    return true;
}

} // namespace nk
