#include "jackserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QTest>
#include <jack/jack.h>

namespace nk::test {

namespace {

void silent(const char *) {}

} // namespace

JackServer::JackServer()
    : m_name(QStringLiteral("nk-test-%1").arg(QCoreApplication::applicationPid()))
{
}

JackServer::~JackServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate(); // SIGTERM to this server's PID
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(2000);
}

bool JackServer::installed()
{
    return !QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty();
}

bool JackServer::runs(const QString &name)
{
    jack_set_error_function(&silent);
    jack_set_info_function(&silent);
    const QByteArray server = name.toUtf8();
    jack_status_t status{};
    jack_client_t *client =
        jack_client_open("nk-test-probe", JackOptions(JackNoStartServer | JackServerName), &status,
                         server.constData());
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

bool JackServer::start(QString *error)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("JACK_NO_AUDIO_RESERVATION"), QStringLiteral("1"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Synchronous: on a busy machine a client late for a cycle holds the cycle
    // up, where it would otherwise have its last events read again and its
    // new ones lost.
    m_process.start(QStringLiteral("jackd"),
                    {QStringLiteral("-n"), m_name, QStringLiteral("--no-realtime"),
                     QStringLiteral("-S"), QStringLiteral("-d"), QStringLiteral("dummy"),
                     QStringLiteral("-r"), QStringLiteral("48000"), QStringLiteral("-p"),
                     QStringLiteral("256")});
    QDeadlineTimer deadline(10000);
    while (m_process.state() != QProcess::NotRunning && !runs(m_name) && !deadline.hasExpired())
        QTest::qWait(20);
    if (m_process.state() == QProcess::NotRunning || !runs(m_name)) {
        *error = QStringLiteral("jackd did not start: ") +
                 QString::fromLocal8Bit(m_process.readAll()).trimmed();
        return false;
    }
    qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
    return true;
}

} // namespace nk::test
