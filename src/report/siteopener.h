#pragma once

#include <QString>
#include <QUrl>
#include <functional>
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

    // Opens the address and logs "Открытие сайта " + address; a mailto:
    // address goes to the mail program, unlogged; anything else but http,
    // https or a www. address is ignored. When nothing could be started the
    // learner is shown the address, and nothing is logged. Returns whether it
    // was opened.
    bool OpenSite(const QString &address);

    // How the learner is shown an address that could not be opened.
    void setMessageHook(std::function<void(const QString &)> hook) { m_message = std::move(hook); }

    // The URL to open, or nothing for an address that is not a web address.
    static std::optional<QUrl> webUrl(const QString &address);

private:
    bool open(const QUrl &url, const QString &shown) const;

    ActivityLog &m_log;
    std::function<void(const QString &)> m_message;
};

} // namespace nk
