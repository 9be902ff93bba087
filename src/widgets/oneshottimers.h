#pragma once

#include <QObject>
#include <array>
#include <functional>

namespace nk {

// The window's one-shot timers. Each carries a tag that chooses its action when
// it fires; a timer outlives the page that started it, fires once and is gone.
// Intervals pass through the program clock, so tests can scale them.
class OneShotTimers : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxTag = 11;

    explicit OneShotTimers(QObject *owner);

    // Filled in the wiring place; returns false for a tag no timer uses.
    bool setAction(int tag, std::function<void()> action);

    void create(int intervalMs, int tag);

    // The keyboard colouring reset (tag 6): at most one is pending at a time,
    // so a second key press within the interval does not extend it.
    bool createHighlightReset(int intervalMs, bool &pending);

    void TimerProc(int tag);
    int pendingCount() const;

    static bool isTimerTag(int tag);

private:
    std::array<std::function<void()>, MaxTag + 1> m_actions;
};

} // namespace nk
