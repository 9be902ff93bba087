#include "privatepulse.h"

#include "audio/waitms.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <signal.h>

namespace nk::testkit {

namespace {

constexpr int startTimeoutMs = 15000;
constexpr int stopTimeoutMs = 3000;

bool alive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

QStringList daemonArguments()
{
    return {QStringLiteral("-n"),
            QStringLiteral("--daemonize=yes"),
            QStringLiteral("--exit-idle-time=-1"),
            QStringLiteral("-L"),
            QStringLiteral("module-native-protocol-unix auth-anonymous=1"),
            QStringLiteral("-L"),
            QStringLiteral("module-null-sink sink_name=test_sink rate=44100 norewinds=1"),
            QStringLiteral("-L"),
            QStringLiteral("module-always-sink")};
}

} // namespace

PrivatePulse::~PrivatePulse()
{
    stop();
}

QString PrivatePulse::missingTools()
{
    for (const char *tool : {"pulseaudio", "parec"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QLatin1String(tool) + QLatin1String(" is not installed (scripts/setup installs "
                                                       "pulseaudio and pulseaudio-utils)");
    }
    return {};
}

bool PrivatePulse::start(QString *error)
{
    const QString runtime = m_dir.filePath(QStringLiteral("run"));
    const QString home = m_dir.filePath(QStringLiteral("home"));
    QDir().mkpath(runtime);
    QDir().mkpath(home);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("HOME"), home); // keeps its state files out of the real home
    env.remove(QStringLiteral("PULSE_SERVER"));
    QProcess daemon;
    daemon.setProcessEnvironment(env);
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.start(QStringLiteral("pulseaudio"), daemonArguments());
    if (!daemon.waitForFinished(startTimeoutMs) || daemon.exitCode() != 0) {
        *error =
            QStringLiteral("pulseaudio did not start: ") + QString::fromLocal8Bit(daemon.readAll());
        return false;
    }
    QFile pidFile(runtime + QStringLiteral("/pulse/pid"));
    if (pidFile.open(QIODevice::ReadOnly))
        m_pid = pidFile.readAll().trimmed().toLongLong();
    const QString socket = runtime + QStringLiteral("/pulse/native");
    if (m_pid <= 0 || !waitForSocket(socket)) {
        *error = QStringLiteral("pulseaudio left no PID file or socket in ") + runtime;
        return false;
    }
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("PULSE_SERVER", (QStringLiteral("unix:") + socket).toLocal8Bit());
    return true;
}

bool PrivatePulse::waitForSocket(const QString &socket) const
{
    QDeadlineTimer deadline(startTimeoutMs);
    while (!QFileInfo::exists(socket) && !deadline.hasExpired())
        WaitMs(10);
    return QFileInfo::exists(socket);
}

void PrivatePulse::stop()
{
    if (!alive(m_pid)) {
        m_pid = 0;
        return;
    }
    ::kill(pid_t(m_pid), SIGTERM);
    QDeadlineTimer deadline(stopTimeoutMs);
    while (alive(m_pid) && !deadline.hasExpired())
        WaitMs(10);
    if (alive(m_pid))
        ::kill(pid_t(m_pid), SIGKILL);
    m_pid = 0;
}

} // namespace nk::testkit
