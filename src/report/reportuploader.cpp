#include "report/reportuploader.h"

#include "course/deviceplugin.h"
#include "course/scopedflag.h"
#include "course/shutdown.h"

#include <QFile>
#include <QRandomGenerator>

// Linked into test programs; the program itself takes the plug-in's.
extern "C" __attribute__((weak)) nk::ReportTransportMaker nk_builtin_report_transport();

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

} // namespace

ReportUploader::ReportUploader(QObject *parent) : QObject(parent) {}

ReportUploader::~ReportUploader() = default;

void ReportUploader::makeReady()
{
    if (m_transport)
        return;
    const ReportTransportMaker make =
        DevicePlugin::pick(nk_builtin_report_transport, "nk_plugin_report_transport");
    if (make)
        m_transport.reset(make());
}

QString ReportUploader::sessionEndText()
{
    return QStringLiteral("Отправка отчёта прервана: программа закрывается.");
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
        return {false, sessionEndText()};
    ScopedFlag busy(m_busy);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("Не удалось прочитать файл отчёта.")};
    const QByteArray content = file.readAll();
    file.close();
    makeReady();
    if (!m_transport)
        return {false, QStringLiteral("Отчёт не отправлен: программа установлена не полностью.")};
    return m_transport->post(
        {uploadAddress(site), filePath, content, m_stallTimeout, m_deadline, &Shutdown::requested});
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

} // namespace nk
