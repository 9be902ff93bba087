#pragma once

#include <QString>
#include <QTemporaryDir>

namespace nk::testkit {

// A sound server of the test's own with one null sink, "test_sink", whose
// monitor can be recorded. The sink does not rewind: a rewind mixes a new
// stream into time the monitor has already handed to the recorder, so the
// recording would lack the first milliseconds of every fresh stream. start() points this process at
// it (PULSE_SERVER, XDG_RUNTIME_DIR), so it must run before anything of the sound output is
// created. The daemon is stopped by its PID, never by name: other test runs
// may have servers of their own.
class PrivatePulse
{
public:
    PrivatePulse() = default;
    PrivatePulse(const PrivatePulse &) = delete;
    PrivatePulse &operator=(const PrivatePulse &) = delete;
    ~PrivatePulse();

    // Empty when the tools are installed, else the reason they cannot be used.
    static QString missingTools();

    bool start(QString *error);
    void stop();

    static QString sinkName() { return QStringLiteral("test_sink"); }
    static QString monitorName() { return QStringLiteral("test_sink.monitor"); }
    qint64 pid() const { return m_pid; } // 0 when not running

private:
    bool waitForSocket(const QString &socket) const;

    QTemporaryDir m_dir;
    qint64 m_pid = 0;
};

} // namespace nk::testkit
