#pragma once

#include "report/reporttransport.h"

#include <QNetworkAccessManager>

class QDeadlineTimer;
class QNetworkReply;

namespace nk {

// The upload over HTTP(S): a post of the file, redirects that stay on the site
// followed with the file, and an end at the answer's status line, so a site
// that trickles or never ends its answer cannot hold the window.
class HttpTransport : public ReportTransport
{
public:
    // Why an exchange ended before its answer was read to the end.
    enum class Cut
    {
        None,
        Answered, // the status line came: nothing after it is needed
        Stalled,
        Deadline,
        SessionEnd,
        TooLong
    };

    HttpTransport();
    UploadResult post(const UploadJob &job) override;

private:
    QNetworkReply *exchange(const QUrl &url, const UploadJob &job, const QDeadlineTimer &overall,
                            Cut *cut);
    UploadResult finish(QNetworkReply *reply, Cut cut);

    QNetworkAccessManager m_network;
};

} // namespace nk
