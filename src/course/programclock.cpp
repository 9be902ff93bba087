#include "course/programclock.h"

#include <QElapsedTimer>
#include <algorithm>
#include <climits>
#include <cmath>

namespace nk {

namespace {
double g_scale = 1.0;

std::function<QDateTime()> &nowSource()
{
    static std::function<QDateTime()> source;
    return source;
}

std::function<qint64()> &monotonicSource()
{
    static std::function<qint64()> source;
    return source;
}
} // namespace

int ProgramClock::scaled(int ms)
{
    return int(std::min<qint64>(scaled(qint64(ms)), INT_MAX));
}

qint64 ProgramClock::scaled(qint64 ms)
{
    if (ms <= 0 || g_scale == 1.0)
        return ms;
    return std::max<qint64>(1, std::llround(double(ms) * g_scale));
}

void ProgramClock::setScale(double factor)
{
    g_scale = factor > 0 ? factor : 1.0;
}

double ProgramClock::scale()
{
    return g_scale;
}

QDateTime ProgramClock::now()
{
    return nowSource() ? nowSource()() : QDateTime::currentDateTime();
}

void ProgramClock::setNowSource(std::function<QDateTime()> source)
{
    nowSource() = std::move(source);
}

qint64 ProgramClock::monotonicMs()
{
    if (monotonicSource())
        return monotonicSource()();
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}

void ProgramClock::setMonotonicSource(std::function<qint64()> source)
{
    monotonicSource() = std::move(source);
}

} // namespace nk
