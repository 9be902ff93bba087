#include "reportsink.h"

#include <QTcpSocket>

namespace nk::test {

namespace {

qsizetype contentLength(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.toLower().startsWith("content-length:"))
            return trimmed.mid(15).trimmed().toLongLong();
    }
    return 0;
}

} // namespace

QByteArray ReportSink::Request::fileContent() const
{
    const qsizetype headers = body.indexOf("\r\n\r\n");
    const qsizetype boundaryEnd = body.indexOf("\r\n");
    if (headers < 0 || boundaryEnd < 0)
        return body;
    const QByteArray closing = "\r\n" + body.left(boundaryEnd) + "--";
    const qsizetype end = body.lastIndexOf(closing);
    return body.mid(headers + 4, end < 0 ? -1 : end - headers - 4);
}

bool ReportSink::listen()
{
    connect(&m_server, &QTcpServer::newConnection, this, &ReportSink::accept);
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl ReportSink::site() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
}

void ReportSink::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

// Answers once the whole body announced by Content-Length is in.
void ReportSink::serve(QTcpSocket *socket)
{
    QByteArray data = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", data);
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    const QByteArray head = data.left(headEnd);
    const QByteArray body = data.mid(headEnd + 4);
    if (body.size() < contentLength(head))
        return;
    requests.append({head, body});
    socket->setProperty("received", QByteArray());
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 2\r\n"
                  "Connection: close\r\n\r\nok");
    socket->disconnectFromHost();
}

} // namespace nk::test
