#pragma once

#include <QDateTime>
#include <functional>

namespace nk {

// The program's one source of time. Timers and waits pass their intervals
// through scaled(), and the log asks now(): tests scale a 7-minute rest down
// to milliseconds or pin the date, and go through the same code path.
// The shipped program never changes either.
class ProgramClock
{
public:
    static int scaled(int ms);
    static qint64 scaled(qint64 ms);
    static void setScale(double factor);
    static double scale();

    static QDateTime now();
    static void setNowSource(std::function<QDateTime()> source);
    // Milliseconds on a clock that only runs forward, whatever the date and
    // time of the computer are set to: for durations.
    static qint64 monotonicMs();
    static void setMonotonicSource(std::function<qint64()> source);
};

} // namespace nk
