#pragma once

#include <QProcess>
#include <QString>
#include <QUrl>

// PHP's built-in web server on a free local port, serving a folder.
class PhpServer
{
public:
    ~PhpServer() { stop(); }

    bool start(const QString &root);
    void stop();
    QUrl url(const QString &path = {}) const;

    static quint16 freePort();

private:
    bool waitUntilListening();

    QProcess m_process;
    quint16 m_port = 0;
};
