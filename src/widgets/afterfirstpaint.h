#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace nk {

// Runs work once a window has been painted for the first time, so a start-up
// shows its page before doing what the page does not need. A window that is
// not painted in time (started hidden, or a window system that never exposes
// it) gets the work anyway, late rather than never.
class AfterFirstPaint : public QObject
{
    Q_OBJECT
public:
    static constexpr int FallbackMs = 1000;

    // The work runs at most once, and never after the window is gone.
    static void schedule(QWidget *window, std::function<void()> work);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AfterFirstPaint(QWidget *window, std::function<void()> work);
    void runSoon();
    void run();

    QPointer<QWidget> m_window;
    std::function<void()> m_work;
    bool m_queued = false;
};

} // namespace nk
