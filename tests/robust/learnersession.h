#pragma once

#include <functional>

namespace nk {
class TMainForm;
}

namespace nk::test {

// A learner working through Step 1 of levels 1 and 2 in the real window, as
// clicks on its widgets: answers every question, ticks three characteristics,
// goes from level to level through the part page. Between the clicks come the
// other writes the pages make: the step counters, a level's used flags and the
// settings written at close. Every value depends on the action's number, so
// each action changes the files, and the same numbers always give the same files.
class LearnerSession
{
public:
    explicit LearnerSession(TMainForm &form) : m_form(form) {}

    // Performs action number n (from 1). False when the page shown offers
    // nothing the session knows how to go on with.
    bool act(int n);

private:
    bool sideWrite(int n);
    bool learnerClick(int n);
    bool answerQuestion(int n);
    bool chooseTraits(int n);
    bool openLevel();

    TMainForm &m_form;
    int m_wantLevel = 1;
    bool m_choseTraits = false;
};

} // namespace nk::test
