#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace nk {

class ActivityLog;

// Hands web addresses of the maker's site and of the course texts to the
// browser. Only web addresses are ever opened: a link in a text file could
// otherwise start a program or open a local file.
class SiteOpener
{
public:
    explicit SiteOpener(ActivityLog &log);

    // Opens the address and logs "Открытие сайта " + address; anything but
    // http, https or a www. address is ignored. Returns whether it was opened.
    bool OpenSite(const QString &address);

    // The URL to open, or nothing for an address that is not a web address.
    static std::optional<QUrl> webUrl(const QString &address);

private:
    ActivityLog &m_log;
};

} // namespace nk
