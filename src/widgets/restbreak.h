#pragma once

#include <functional>

namespace nk {

class OneShotTimers;

// The 7-minute rest the course imposes after memorisation and training. The
// rest page is shown, four seconds later the window goes to the tray, and it
// comes back by itself when the time is up to open the next page.
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
        std::function<void()> endTrainingRest;  // the training moves on
        std::function<void()> showMemorisePrep; // the next memorisation page
        std::function<void(int level)> showLevelPage;
    };

    RestBreak(OneShotTimers &timers, bool &resting);

    Hooks &hooks() { return m_hooks; }

    // Called by a rest page once it is built.
    void start(Kind kind);

    // The timer actions.
    void hideWindow();
    void endTraining();
    void endMemorisation();

private:
    OneShotTimers &m_timers;
    bool &m_resting;
    Hooks m_hooks;
    int m_trainingLevel = 0;
};

} // namespace nk
