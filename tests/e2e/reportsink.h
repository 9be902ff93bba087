#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QUrl>

namespace nk::test {

// The maker's site as far as reports go: a local HTTP server that takes every
// request whole, keeps it and answers 200.
class ReportSink : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray head; // request line and headers
        QByteArray body;
        // The file part's content, or the whole body when it has no part.
        QByteArray fileContent() const;
    };

    bool listen();
    QUrl site() const;
    QList<Request> requests;

private:
    void accept();
    void serve(class QTcpSocket *socket);

    QTcpServer m_server;
};

} // namespace nk::test
