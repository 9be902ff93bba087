#include "phpserver.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

quint16 PhpServer::freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool PhpServer::start(const QString &root)
{
    m_port = freePort();
    const QString address = QStringLiteral("127.0.0.1:%1").arg(m_port);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(QProcess::nullDevice()); // its access log
    m_process.start(QStringLiteral("php"),
                    {QStringLiteral("-S"), address, QStringLiteral("-t"), root});
    return m_process.waitForStarted() && waitUntilListening();
}

bool PhpServer::waitUntilListening()
{
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(200))
            return true;
        m_process.waitForFinished(50); // also notices a server that exited at once
    }
    return false;
}

void PhpServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate(); // by the PID QProcess started
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

QUrl PhpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path));
}
