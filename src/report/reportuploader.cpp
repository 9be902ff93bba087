#include "report/reportuploader.h"

#include "course/scopedflag.h"
#include "course/shutdown.h"
#include "report/reportlogging.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QTimer>

namespace nk {

namespace {

const QByteArray kCrLf = "\r\n";

QUrl uploadAddress(const QUrl &site)
{
    QUrl url = site;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + u"/upreport.php");
    return url;
}

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

QString failureText(QNetworkReply *reply, ReportUploader::Cut cut)
{
    using Cut = ReportUploader::Cut;
    if (cut == Cut::Stalled)
        return QStringLiteral("Сайт не отвечает. Отчёт не отправлен, попробуйте позже.");
    if (cut == Cut::Deadline)
        return QStringLiteral("Сайт отвечает слишком долго. Отчёт не отправлен, попробуйте позже.");
    if (cut == Cut::SessionEnd)
        return QStringLiteral("Отправка отчёта прервана: программа закрывается.");
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

ReportUploader::ReportUploader(QObject *parent) : QObject(parent) {}

ReportUploader::~ReportUploader() = default;

void ReportUploader::makeReady()
{
    if (m_network)
        return;
    m_network = std::make_unique<QNetworkAccessManager>();
    m_network->setCookieJar(new QNetworkCookieJar(m_network.get()));
}

QByteArray ReportUploader::contentType(const QByteArray &boundary)
{
    // The site's script was written for an unquoted boundary.
    return "multipart/form-data; boundary=" + boundary;
}

QByteArray ReportUploader::makeBoundary(const QByteArray &content)
{
    for (;;) {
        const quint64 r = QRandomGenerator::global()->generate64();
        const QByteArray boundary = "--------" + QByteArray::number(r, 16).rightJustified(16, '0');
        if (!content.contains(boundary))
            return boundary;
    }
}

QByteArray ReportUploader::body(const QByteArray &boundary, const QString &fileName,
                                const QByteArray &content)
{
    // A quote or line end in the name would break the header line it sits in.
    QByteArray name = fileName.toUtf8();
    name.replace('"', "%22").replace('\r', "%0D").replace('\n', "%0A");
    QByteArray out;
    out.reserve(content.size() + 256);
    out += "--" + boundary + kCrLf;
    out += "Content-Disposition: form-data; name=\"filename\"; filename=\"" + name + '"' + kCrLf;
    out += "Content-Type: text/html" + kCrLf + kCrLf;
    out += content + kCrLf;
    out += "--" + boundary + "--" + kCrLf;
    return out;
}

UploadResult ReportUploader::upload(const QUrl &site, const QString &filePath)
{
    if (m_busy)
        return {false, QStringLiteral("Отчёт уже отправляется.")};
    if (Shutdown::requested())
        return {false, failureText(nullptr, Cut::SessionEnd)};
    ScopedFlag busy(m_busy);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("Не удалось прочитать файл отчёта.")};
    const QByteArray content = file.readAll();
    file.close();
    return post(uploadAddress(site), filePath, content);
}

QString ReportUploader::redirectRefusal(const QUrl &from, const QUrl &to, int status)
{
    const QString address = to.toDisplayString();
    const bool web = to.scheme() == u"http" || to.scheme() == u"https";
    if (from.scheme() == u"https" && to.scheme() != u"https")
        return QStringLiteral("Сайт перенаправил отчёт на незащищённый адрес %1. Отчёт не "
                              "отправлен.")
            .arg(address);
    if (!web || to.host().compare(from.host(), Qt::CaseInsensitive) != 0)
        return QStringLiteral("Сайт перенаправил отчёт на другой сайт: %1. Отчёт не отправлен.")
            .arg(address);
    // Sites that moved answer 301 or 302; this client sends the file again to
    // the new address, which those codes allow. 303 asks for a GET without it.
    if (status == 303)
        return QStringLiteral("Сайт перенаправил отчёт на адрес %1 (ответ %2), при котором "
                              "файл не передаётся. Отчёт не отправлен.")
            .arg(address)
            .arg(status);
    return {};
}

// Only an answer of success to a request that carried the file counts: a
// redirect (301, 302, 307, 308) is followed with the file when it stays on the
// site, even from http to https, and is a failure otherwise.
UploadResult ReportUploader::post(QUrl url, const QString &filePath, const QByteArray &content)
{
    const QDeadlineTimer overall(m_deadline);
    for (int redirects = 0;; ++redirects) {
        Cut cut = Cut::None;
        QNetworkReply *reply = exchange(url, filePath, content, overall, &cut);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QUrl target = redirectTarget(reply);
        const bool answered = cut == Cut::None || cut == Cut::Answered;
        if (!answered || !isRedirect(status) || !target.isValid())
            return finish(reply, cut);
        if (reply->isOpen())
            reply->readAll();
        reply->deleteLater();
        QString refusal = redirectRefusal(url, target, status);
        if (refusal.isEmpty() && redirects >= kMaxRedirects)
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
QNetworkReply *ReportUploader::exchange(const QUrl &url, const QString &filePath,
                                        const QByteArray &content, const QDeadlineTimer &overall,
                                        Cut *cut)
{
    makeReady();
    const QByteArray boundary = makeBoundary(content);
    QNetworkReply *reply =
        m_network->post(uploadRequest(url, boundary), body(boundary, filePath, content));
    const auto cutOff = [cut, reply](Cut why) {
        if (*cut == Cut::None)
            *cut = why;
        reply->abort();
    };
    QTimer stall;
    stall.setSingleShot(true);
    const auto progress = [&stall] { stall.start(); };
    connect(reply, &QNetworkReply::uploadProgress, &stall, progress);
    connect(reply, &QNetworkReply::downloadProgress, &stall, progress);
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, cutOff] {
        if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 0)
            cutOff(Cut::Answered);
    });
    qint64 read = 0;
    connect(reply, &QNetworkReply::readyRead, reply, [reply, cutOff, &read] {
        read += reply->readAll().size();
        if (read > kMaxAnswerBytes)
            cutOff(Cut::TooLong);
    });
    connect(&stall, &QTimer::timeout, reply, [cutOff] { cutOff(Cut::Stalled); });
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, reply, [cutOff] { cutOff(Cut::Deadline); });
    QTimer sessionEnd;
    connect(&sessionEnd, &QTimer::timeout, reply, [cutOff] {
        if (Shutdown::requested())
            cutOff(Cut::SessionEnd);
    });
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    stall.start(m_stallTimeout);
    deadline.start(std::max<qint64>(0, overall.remainingTime()));
    sessionEnd.start(kSessionEndPollMs);
    if (!reply->isFinished())
        loop.exec();
    return reply;
}

UploadResult ReportUploader::finish(QNetworkReply *reply, Cut cut)
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
