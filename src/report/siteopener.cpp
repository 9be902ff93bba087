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

// The address is part of the one message, so the learner can copy it into a
// browser by hand.
bool SiteOpener::open(const QUrl &url, const QString &shown) const
{
    if (QDesktopServices::openUrl(url))
        return true;
    if (m_message)
        m_message(QStringLiteral("Не удалось открыть браузер. Откройте адрес сами: ") + shown);
    return false;
}

bool SiteOpener::OpenSite(const QString &address)
{
    const QString text = address.trimmed();
    if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
        const QUrl mail(text, QUrl::StrictMode);
        return mail.isValid() && !mail.path().isEmpty() && open(mail, mail.path());
    }
    const std::optional<QUrl> url = webUrl(address);
    if (!url || !open(*url, url->toString()))
        return false;
    m_log.WriteLog(QStringLiteral("Открытие сайта ") + ActivityLog::fromOutside(address));
    return true;
}

} // namespace nk
