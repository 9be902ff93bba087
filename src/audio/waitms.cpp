#include "audio/waitms.h"

#include "course/programclock.h"
#include "course/shutdown.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

namespace nk {

namespace {

// Without a message loop there is nothing to handle: sleep, yet notice a
// shutdown within a few milliseconds.
void sleepWithoutLoop(qint64 total, const QElapsedTimer &clock)
{
    constexpr qint64 sliceMs = 5;
    for (qint64 left = total; left > 0; left = total - clock.elapsed()) {
        QThread::msleep(std::min(left, sliceMs));
        if (Shutdown::requested())
            return;
    }
}

int g_waitDepth = 0;

struct DepthCount
{
    DepthCount() { ++g_waitDepth; }
    ~DepthCount() { --g_waitDepth; }
    DepthCount(const DepthCount &) = delete;
    DepthCount &operator=(const DepthCount &) = delete;
};

} // namespace

bool WaitMsRunning()
{
    return g_waitDepth > 0;
}

// The thread sleeps in the message loop until an event comes: a click, a
// timer, or the wake-up set for the end of the wait. A shutdown is requested
// only by an event handler, so it is seen as soon as that event is handled.
void WaitMs(qint64 ms)
{
    const qint64 total = ProgramClock::scaled(ms);
    if (total <= 0 || Shutdown::requested())
        return;
    const DepthCount depth;
    QElapsedTimer clock;
    clock.start();
    if (!QCoreApplication::instance()) {
        sleepWithoutLoop(total, clock);
        return;
    }
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    for (qint64 left = total; left > 0; left = total - clock.elapsed()) {
        if (!wakeUp.isActive())
            wakeUp.start(int(std::min<qint64>(left, INT_MAX)));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (Shutdown::requested())
            return;
    }
}

} // namespace nk
