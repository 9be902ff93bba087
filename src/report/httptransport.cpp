#include "report/httptransport.h"

#include "report/reportlogging.h"
#include "report/reportuploader.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace nk {

namespace {

QNetworkRequest uploadRequest(const QUrl &url, const QByteArray &boundary)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, ReportUploader::contentType(boundary));
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    // Redirects are judged here: the network layer would turn the post into a
    // bare GET on 301, 302 and 303, and the site would receive no file.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    return request;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Where a redirect answer points, resolved against the address it answered.
QUrl redirectTarget(QNetworkReply *reply)
{
    const QByteArray location = reply->rawHeader("Location").trimmed();
    if (location.isEmpty())
        return {};
    return reply->url().resolved(QUrl::fromEncoded(location));
}

bool throughProxy(const QUrl &url)
{
    const QList<QNetworkProxy> proxies =
        QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(url));
    return !proxies.isEmpty() && proxies.first().type() != QNetworkProxy::NoProxy &&
           proxies.first().type() != QNetworkProxy::DefaultProxy;
}

QString proxyDownText()
{
    return QStringLiteral("Прокси-сервер не отвечает. Проверьте настройки прокси в системе. "
                          "Отчёт не отправлен.");
}

QString failureText(QNetworkReply *reply, HttpTransport::Cut cut)
{
    using Cut = HttpTransport::Cut;
    if (cut == Cut::Stalled)
        return QStringLiteral("Сайт не отвечает. Отчёт не отправлен, попробуйте позже.");
    if (cut == Cut::Deadline)
        return QStringLiteral("Сайт отвечает слишком долго. Отчёт не отправлен, попробуйте позже.");
    if (cut == Cut::SessionEnd)
        return ReportUploader::sessionEndText();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 407 || reply->error() == QNetworkReply::ProxyAuthenticationRequiredError)
        return QStringLiteral("Прокси-сервер требует пароль. Отчёт не отправлен: укажите пароль "
                              "прокси в настройках системы.");
    if (status == 413)
        return QStringLiteral("Отчёт слишком велик для сайта и не отправлен.");
    if (status != 0 && (status < 200 || status > 299))
        return QStringLiteral("Сайт ответил ошибкой %1. Отчёт не отправлен, попробуйте позже.")
            .arg(status);
    if (cut == Cut::TooLong)
        return QStringLiteral("Сайт прислал непонятный ответ. Отчёт не отправлен, попробуйте "
                              "позже.");
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
        // Through a proxy, the connection that failed was the one to the proxy.
        if (throughProxy(reply->url()))
            return proxyDownText();
        return QStringLiteral("Нет связи с сайтом. Проверьте подключение к интернету.");
    case QNetworkReply::UnknownNetworkError:
        return QStringLiteral("Нет связи с сайтом. Проверьте подключение к интернету.");
    case QNetworkReply::SslHandshakeFailedError:
        // Most often a wrong date on the computer, which makes every certificate look invalid.
        return QStringLiteral("Неверная дата на компьютере или сертификат сайта: защищённое "
                              "соединение не установлено. Отчёт не отправлен.");
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return proxyDownText();
    default:
        return QStringLiteral("Ошибка сети (%1). Отчёт не отправлен, попробуйте позже.")
            .arg(int(reply->error()));
    }
}

bool isSuccess(int status)
{
    return status >= 200 && status <= 299;
}

} // namespace

HttpTransport::HttpTransport()
{
    m_network.setCookieJar(new QNetworkCookieJar(&m_network));
}

// Only an answer of success to a request that carried the file counts: a
// redirect (301, 302, 307, 308) is followed with the file when it stays on the
// site, even from http to https, and is a failure otherwise.
UploadResult HttpTransport::post(const UploadJob &job)
{
    const QDeadlineTimer overall(job.deadline);
    QUrl url = job.url;
    for (int redirects = 0;; ++redirects) {
        Cut cut = Cut::None;
        QNetworkReply *reply = exchange(url, job, overall, &cut);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QUrl target = redirectTarget(reply);
        const bool answered = cut == Cut::None || cut == Cut::Answered;
        if (!answered || !isRedirect(status) || !target.isValid())
            return finish(reply, cut);
        if (reply->isOpen())
            reply->readAll();
        reply->deleteLater();
        QString refusal = ReportUploader::redirectRefusal(url, target, status);
        if (refusal.isEmpty() && redirects >= ReportUploader::kMaxRedirects)
            refusal = QStringLiteral("Сайт перенаправляет отчёт по кругу (последний адрес %1). "
                                     "Отчёт не отправлен.")
                          .arg(target.toDisplayString());
        if (!refusal.isEmpty()) {
            qCWarning(lcReport) << "report upload redirected:" << status << url << "to" << target;
            return {false, refusal};
        }
        url = target;
    }
}

// Ends at the answer's status line: whatever follows it is not needed, and
// a site that trickles or never ends its answer cannot hold the window. The
// deadline and the end of the session bound the rest.
QNetworkReply *HttpTransport::exchange(const QUrl &url, const UploadJob &job,
                                       const QDeadlineTimer &overall, Cut *cut)
{
    const QByteArray boundary = ReportUploader::makeBoundary(job.content);
    QNetworkReply *reply = m_network.post(
        uploadRequest(url, boundary), ReportUploader::body(boundary, job.filePath, job.content));
    const auto cutOff = [cut, reply](Cut why) {
        if (*cut == Cut::None)
            *cut = why;
        reply->abort();
    };
    QTimer stall;
    stall.setSingleShot(true);
    const auto progress = [&stall] { stall.start(); };
    QObject::connect(reply, &QNetworkReply::uploadProgress, &stall, progress);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &stall, progress);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, cutOff] {
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 0)
            cutOff(Cut::Answered);
    });
    qint64 read = 0;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, cutOff, &read] {
        read += reply->readAll().size();
        if (read > ReportUploader::kMaxAnswerBytes)
            cutOff(Cut::TooLong);
    });
    QObject::connect(&stall, &QTimer::timeout, reply, [cutOff] { cutOff(Cut::Stalled); });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, [cutOff] { cutOff(Cut::Deadline); });
    QTimer sessionEnd;
    QObject::connect(&sessionEnd, &QTimer::timeout, reply, [cutOff, &job] {
        if (job.sessionEnding())
            cutOff(Cut::SessionEnd);
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    stall.start(job.stallTimeout);
    deadline.start(std::max<qint64>(0, overall.remainingTime()));
    sessionEnd.start(ReportUploader::kSessionEndPollMs);
    if (!reply->isFinished())
        loop.exec();
    return reply;
}

UploadResult HttpTransport::finish(QNetworkReply *reply, Cut cut)
{
    if (reply->isOpen())
        reply->readAll();
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool whole = cut == Cut::None && reply->error() == QNetworkReply::NoError;
    if ((cut == Cut::Answered || whole) && isSuccess(status))
        return {true, {}};
    qCWarning(lcReport) << "report upload failed:" << status << reply->error() << int(cut)
                        << reply->url();
    return {false, failureText(reply, cut)};
}

} // namespace nk

// The program finds this in the device plug-in; test programs link it in.
extern "C" nk::ReportTransportMaker nk_builtin_report_transport()
{
    return []() -> nk::ReportTransport * { return new nk::HttpTransport; };
}
