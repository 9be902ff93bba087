#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace nk {

// The end of a session from outside: SIGTERM (logout, shutdown, kill), SIGINT
// and SIGHUP. The signal handler only writes a byte into a socket pair; the
// message loop reads it and calls `end`, so the program closes by its own
// path and never from inside a signal handler. One instance at a time; the
// signals' earlier handling comes back when it is destroyed.
class SessionEnd : public QObject
{
    Q_OBJECT
public:
    explicit SessionEnd(std::function<void()> end, QObject *parent = nullptr);
    ~SessionEnd() override;

private:
    void readSignals();

    std::function<void()> m_end;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace nk
