#include "widgets/restbreak.h"

#include "widgets/oneshottimers.h"

namespace nk {

RestBreak::RestBreak(OneShotTimers &timers, bool &resting) : m_timers(timers), m_resting(resting) {}

void RestBreak::start(Kind kind)
{
    m_timers.create(HideAfterMs, HideTag);
    m_resting = true;
    if (kind == Kind::Training) {
        m_trainingLevel = m_hooks.currentLevel ? m_hooks.currentLevel() : 0;
        m_timers.create(RestMs, TrainingTag);
    } else {
        m_timers.create(RestMs, MemorisationTag);
    }
}

void RestBreak::hideWindow()
{
    if (m_hooks.minimise)
        m_hooks.minimise();
}

void RestBreak::endTraining()
{
    m_resting = false;
    if (m_hooks.restore)
        m_hooks.restore();
    const int level = m_hooks.currentLevel ? m_hooks.currentLevel() : m_trainingLevel;
    // The learner opened another level in the seconds before the window hid:
    // moving the training on would write into that level, so go back instead.
    if (level != m_trainingLevel) {
        if (m_hooks.showLevelPage)
            m_hooks.showLevelPage(m_trainingLevel);
        return;
    }
    if (m_hooks.endTrainingRest)
        m_hooks.endTrainingRest();
}

void RestBreak::endMemorisation()
{
    m_resting = false;
    if (m_hooks.restore)
        m_hooks.restore();
    if (m_hooks.showMemorisePrep)
        m_hooks.showMemorisePrep();
}

} // namespace nk
