#include "report/reportuploader.h"

#include "course/scopedflag.h"
#include "report/reportlogging.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkCookieJar>
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
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    return request;
}

QString failureText(QNetworkReply *reply, bool stalled)
{
    if (stalled)
        return QStringLiteral("Сайт не отвечает. Отчёт не отправлен, попробуйте позже.");
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299))
        return QStringLiteral("Сайт ответил ошибкой %1. Отчёт не отправлен, попробуйте позже.")
            .arg(status);
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::UnknownNetworkError:
        return QStringLiteral("Нет связи с сайтом. Проверьте подключение к интернету.");
    default:
        return QStringLiteral("Ошибка сети (%1). Отчёт не отправлен, попробуйте позже.")
            .arg(int(reply->error()));
    }
}

} // namespace

ReportUploader::ReportUploader(QObject *parent) : QObject(parent)
{
    m_network.setCookieJar(new QNetworkCookieJar(&m_network));
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
    ScopedFlag busy(m_busy);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("Не удалось прочитать файл отчёта.")};
    const QByteArray content = file.readAll();
    file.close();
    return post(uploadAddress(site), filePath, content);
}

UploadResult ReportUploader::post(const QUrl &url, const QString &filePath,
                                  const QByteArray &content)
{
    const QByteArray boundary = makeBoundary(content);
    QNetworkReply *reply =
        m_network.post(uploadRequest(url, boundary), body(boundary, filePath, content));
    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    bool stalled = false;
    const auto progress = [&stall] { stall.start(); };
    connect(reply, &QNetworkReply::uploadProgress, &stall, progress);
    connect(reply, &QNetworkReply::downloadProgress, &stall, progress);
    connect(reply, &QNetworkReply::metaDataChanged, &stall, progress);
    connect(reply, &QNetworkReply::redirected, &stall, progress);
    // The answer is read as it comes and dropped: only its status matters.
    connect(reply, &QNetworkReply::readyRead, reply, [reply] { reply->readAll(); });
    connect(&stall, &QTimer::timeout, reply, [&stalled, reply] {
        stalled = true;
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    stall.start(m_stallTimeout);
    if (!reply->isFinished())
        loop.exec();
    return finish(reply, stalled);
}

UploadResult ReportUploader::finish(QNetworkReply *reply, bool stalled)
{
    if (reply->isOpen())
        reply->readAll();
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!stalled && reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299)
        return {true, {}};
    qCWarning(lcReport) << "report upload failed:" << status << reply->error()
                        << (stalled ? "no progress" : "") << reply->url();
    return {false, failureText(reply, stalled)};
}

} // namespace nk
