#pragma once

#include <functional>
#include <optional>

namespace nk {

class OneShotTimers;

// The 7-minute rest the course imposes after memorisation and training. The
// rest page is shown, four seconds later the window goes to the tray, and it
// comes back by itself when the time is up to open the next page.
//
// A rest remembers what it continues. The window stays usable for the first
// seconds (and all along where there is no tray), and opening a level or a
// step then resets the very state the continuation would work on: such a
// rest, or one that ends while an action is under way (Busy), only gives the
// window back and leaves the learner where they are.
class RestBreak
{
public:
    enum class Kind
    {
        Memorisation,
        Training
    };

    static constexpr int HideAfterMs = 4000;
    static constexpr int RestMs = 420000;
    static constexpr int HideTag = 3;
    static constexpr int TrainingTag = 4;
    static constexpr int MemorisationTag = 7;

    struct Hooks
    {
        std::function<void()> minimise;
        std::function<void()> restore;
        std::function<int()> currentLevel;
        std::function<int()> currentStep;
        std::function<bool()> busy;
    };

    RestBreak(OneShotTimers &timers, bool &resting);

    Hooks &hooks() { return m_hooks; }

    // Called by a rest page once it is built, with what follows the rest;
    // without it the rest ends on its level's page.
    void start(Kind kind, std::function<void()> resume = {});
    // A level or step page was opened: the rest under way no longer goes on.
    void dropContinuation();

    // The timer actions: the window hides; a rest of either kind ends.
    void hideWindow();
    void end();

private:
    // What a rest goes on with when it ends. `resume` puts back the state it
    // needs and opens the next page.
    struct Continuation
    {
        int level = 0;
        int step = 0;
        std::function<void()> resume;
        bool dropped = false;
    };

    bool stillCurrent(const Continuation &c) const;

    OneShotTimers &m_timers;
    bool &m_resting;
    Hooks m_hooks;
    std::optional<Continuation> m_continuation;
    // 7-minute timers still to fire. They fire in the order the rests began,
    // so only the last one ends the rest now under way.
    int m_pendingEnds = 0;
};

} // namespace nk
