#pragma once

#include "report/reporttransport.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>

namespace nk {

// Posts the upload copy of the log to the maker's site as a form with one file
// part. The request has the exact form the site's script expects; cookies the
// site sets are kept for the life of the uploader.
class ReportUploader : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultStallTimeout{60000};
    static constexpr std::chrono::milliseconds kDefaultDeadline{120000};
    static constexpr qint64 kMaxAnswerBytes = 64 * 1024;
    static constexpr int kSessionEndPollMs = 50;

    explicit ReportUploader(QObject *parent = nullptr);
    ~ReportUploader() override;

    // Sets up the network stack, which the window's first paint need not wait
    // for; an upload does it first when it has not been done.
    void makeReady();
    bool isReady() const { return m_transport != nullptr; }

    // Gives up when no byte moves in either direction for this long.
    void setStallTimeout(std::chrono::milliseconds timeout) { m_stallTimeout = timeout; }
    // Gives up when the whole upload, redirects and all, takes longer than this.
    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }

    // Sends `filePath` to site + "/upreport.php". Keeps the event loop running
    // until the answer's status line is in, so the window stays painted; a
    // 2xx status counts as sent without waiting for the rest of the answer. A
    // call made while another runs is refused at once; the end of the session
    // (Shutdown) aborts the exchange.
    UploadResult upload(const QUrl &site, const QString &filePath);

    bool isBusy() const { return m_busy; }

    // The request body and its Content-Type header value, for one file part.
    static QByteArray body(const QByteArray &boundary, const QString &fileName,
                           const QByteArray &content);
    static QByteArray contentType(const QByteArray &boundary);
    static QByteArray makeBoundary(const QByteArray &content);

    // Why a redirect of the upload from `from` to `to` with HTTP `status` is
    // not followed, as a message for the learner; empty when it is followed.
    static QString redirectRefusal(const QUrl &from, const QUrl &to, int status);
    static constexpr int kMaxRedirects = 5;

    // What the learner is told of an upload cut short by the end of the session.
    static QString sessionEndText();

private:
    std::unique_ptr<ReportTransport> m_transport; // none until ready
    std::chrono::milliseconds m_stallTimeout = kDefaultStallTimeout;
    std::chrono::milliseconds m_deadline = kDefaultDeadline;
    bool m_busy = false;
};

} // namespace nk
