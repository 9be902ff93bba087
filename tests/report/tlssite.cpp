#include "tlssite.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>

QString TlsSite::start(const QString &folder)
{
    const QString key = folder + QStringLiteral("/key.pem");
    const QString cert = folder + QStringLiteral("/cert.pem");
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"), key,
                   QStringLiteral("-out"), cert});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        return QStringLiteral("openssl could not make a certificate");
    QFile keyFile(key);
    const QList<QSslCertificate> certs = QSslCertificate::fromPath(cert);
    if (!keyFile.open(QIODevice::ReadOnly) || certs.isEmpty())
        return QStringLiteral("the certificate made by openssl could not be read");
    m_certificate = certs.first();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(m_certificate);
    config.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(config);
    QObject::connect(&m_server, &QTcpServer::pendingConnectionAvailable, &m_server, [this] {
        auto *peer = static_cast<QSslSocket *>(m_server.nextPendingConnection());
        QObject::connect(peer, &QSslSocket::readyRead, peer, [this, peer] { read(peer); });
    });
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        return QStringLiteral("no local port for TLS");
    return {};
}

QUrl TlsSite::url(const QString &path) const
{
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void TlsSite::read(QSslSocket *peer)
{
    QByteArray request = peer->property("request").toByteArray() + peer->readAll();
    peer->setProperty("request", request);
    const qsizetype end = request.indexOf("\r\n\r\n");
    const qsizetype at = request.indexOf("Content-Length: ");
    if (end < 0 || at < 0)
        return;
    const qsizetype length =
        request.mid(at + 16, request.indexOf('\r', at) - at - 16).trimmed().toLongLong();
    if (request.size() < end + 4 + length)
        return;
    m_requests.append(request);
    peer->setProperty("request", QByteArray());
    peer->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK");
    peer->disconnectFromHost();
}
