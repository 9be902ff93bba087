#include "widgets/oneshottimers.h"

#include "course/programclock.h"
#include "widgets/actionboundary.h"

#include <QTimer>

namespace nk {

OneShotTimers::OneShotTimers(QObject *owner) : QObject(owner) {}

bool OneShotTimers::isTimerTag(int tag)
{
    return tag >= 2 && tag <= MaxTag && tag != 5;
}

bool OneShotTimers::setAction(int tag, std::function<void()> action)
{
    if (!isTimerTag(tag))
        return false;
    m_actions[tag] = std::move(action);
    return true;
}

void OneShotTimers::create(int intervalMs, int tag)
{
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(ProgramClock::scaled(intervalMs));
    connect(timer, &QTimer::timeout, this, [this, timer, tag] {
        timer->stop();
        timer->deleteLater(); // after this handler, never from inside it
        ActionBoundary::run([this, tag] { TimerProc(tag); });
    });
    timer->start();
}

bool OneShotTimers::createHighlightReset(int intervalMs, bool &pending)
{
    if (pending)
        return false;
    pending = true;
    create(intervalMs, 6);
    return true;
}

void OneShotTimers::TimerProc(int tag)
{
    if (isTimerTag(tag) && m_actions[tag])
        m_actions[tag]();
}

int OneShotTimers::pendingCount() const
{
    int count = 0;
    for (const QTimer *timer : findChildren<QTimer *>())
        count += timer->isActive() ? 1 : 0;
    return count;
}

} // namespace nk
