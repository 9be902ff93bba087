#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>

namespace nk {

struct UploadResult
{
    bool ok = false;
    QString error; // a message for the learner when not ok
};

// Posts the upload copy of the log to the maker's site as a form with one file
// part. The request has the exact form the site's script expects; cookies the
// site sets are kept for the life of the uploader.
class ReportUploader : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultStallTimeout{60000};

    explicit ReportUploader(QObject *parent = nullptr);
    ~ReportUploader() override;

    // Sets up the network stack, which the window's first paint need not wait
    // for; an upload does it first when it has not been done.
    void makeReady();
    bool isReady() const { return m_network != nullptr; }

    // Gives up when no byte moves in either direction for this long.
    void setStallTimeout(std::chrono::milliseconds timeout) { m_stallTimeout = timeout; }

    // Sends `filePath` to site + "/upreport.php". Keeps the event loop running
    // until the answer is read, so the window stays painted; a call made while
    // another runs is refused at once.
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

private:
    UploadResult post(QUrl url, const QString &filePath, const QByteArray &content);
    class QNetworkReply *exchange(const QUrl &url, const QString &filePath,
                                  const QByteArray &content, bool *stalled);
    UploadResult finish(class QNetworkReply *reply, bool stalled);

    std::unique_ptr<QNetworkAccessManager> m_network; // none until ready
    std::chrono::milliseconds m_stallTimeout = kDefaultStallTimeout;
    bool m_busy = false;
};

} // namespace nk
