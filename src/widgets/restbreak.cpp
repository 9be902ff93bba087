#include "widgets/restbreak.h"

#include "widgets/oneshottimers.h"

#include <utility>

namespace nk {

RestBreak::RestBreak(OneShotTimers &timers, bool &resting) : m_timers(timers), m_resting(resting) {}

void RestBreak::start(Kind kind, std::function<void()> resume)
{
    m_timers.create(HideAfterMs, HideTag);
    m_resting = true;
    Continuation c;
    c.level = m_hooks.currentLevel ? m_hooks.currentLevel() : 0;
    c.step = m_hooks.currentStep ? m_hooks.currentStep() : 0;
    c.resume = std::move(resume);
    m_continuation = std::move(c);
    ++m_pendingEnds;
    m_timers.create(RestMs, kind == Kind::Training ? TrainingTag : MemorisationTag);
}

void RestBreak::dropContinuation()
{
    if (m_continuation)
        m_continuation->dropped = true;
}

void RestBreak::hideWindow()
{
    if (m_hooks.minimise)
        m_hooks.minimise();
}

// The level and step are compared as well: whatever moved them has also
// changed what the continuation would write into.
bool RestBreak::stillCurrent(const Continuation &c) const
{
    const int level = m_hooks.currentLevel ? m_hooks.currentLevel() : c.level;
    const int step = m_hooks.currentStep ? m_hooks.currentStep() : c.step;
    return !c.dropped && c.resume && level == c.level && step == c.step;
}

void RestBreak::end()
{
    if (m_pendingEnds > 0)
        --m_pendingEnds;
    if (m_pendingEnds > 0)
        return; // a rest begun later is still under way and ends by its own timer
    m_resting = false;
    if (m_hooks.restore)
        m_hooks.restore();
    const std::optional<Continuation> c = std::exchange(m_continuation, std::nullopt);
    // The learner who went on to something else, or is in the middle of it,
    // stays there: the rest only gives the window back.
    const bool busy = m_hooks.busy && m_hooks.busy();
    if (c && !busy && stillCurrent(*c))
        c->resume();
}

} // namespace nk
