#include "widgets/afterfirstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace nk {

AfterFirstPaint::AfterFirstPaint(QWidget *window, std::function<void()> work)
    : QObject(window), m_window(window), m_work(std::move(work))
{
    window->installEventFilter(this);
    QTimer::singleShot(FallbackMs, this, &AfterFirstPaint::run);
}

void AfterFirstPaint::schedule(QWidget *window, std::function<void()> work)
{
    new AfterFirstPaint(window, std::move(work));
}

bool AfterFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Paint)
        runSoon();
    return false;
}

void AfterFirstPaint::runSoon()
{
    if (std::exchange(m_queued, true))
        return;
    // The window's own paint event comes before its children's and before
    // the picture goes to the screen: the work waits until all that is done.
    QTimer::singleShot(0, this, &AfterFirstPaint::run);
}

void AfterFirstPaint::run()
{
    if (!m_work)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    std::exchange(m_work, nullptr)();
    deleteLater();
}

} // namespace nk
