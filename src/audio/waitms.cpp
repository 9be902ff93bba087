#include "audio/waitms.h"

#include "course/programclock.h"
#include "course/shutdown.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace nk {

namespace {
// Short enough for a responsive window, long enough not to spin the processor.
constexpr qint64 sliceMs = 2;
} // namespace

void WaitMs(int ms)
{
    const qint64 total = ProgramClock::scaled(ms);
    if (total <= 0 || Shutdown::requested())
        return;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = total; left > 0; left = total - clock.elapsed()) {
        QThread::msleep(std::min(left, sliceMs));
        QCoreApplication::processEvents();
        if (Shutdown::requested())
            return;
    }
}

} // namespace nk
