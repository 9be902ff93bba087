#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QSslServer>
#include <QString>
#include <QUrl>

// An https site on 127.0.0.1 with a certificate made for it on the spot by
// openssl, so nothing trusts it unless told to. It answers every request it
// has read whole with 200 and keeps the requests.
class TlsSite
{
public:
    // Empty when the site runs; otherwise why it could not start.
    QString start(const QString &folder);
    QUrl url(const QString &path = {}) const;
    QSslCertificate certificate() const { return m_certificate; }
    const QList<QByteArray> &requests() const { return m_requests; }

private:
    void read(QSslSocket *peer);

    QSslServer m_server;
    QSslCertificate m_certificate;
    QList<QByteArray> m_requests;
};
