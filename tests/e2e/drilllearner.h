#pragma once

#include "coursebook.h"
#include "windowrig.h"

namespace nk::test {

// The learner in level 4's black-and-white keys drills: listens to the pair,
// says which came first, and after a wrong answer sits through the run that
// plays the pair again.
class DrillLearner
{
public:
    using Drill = WindowRig::Drill;

    DrillLearner(WindowRig &rig, const CourseBook &book) : m_rig(rig), m_book(book) {}

    // Which came first as the learner heard it: true for the black item.
    bool blackFirst(Drill drill) const;
    // Listens, unlocks the answer buttons and answers. The melodies and the
    // notes are checked to be the level's own items as they sound.
    void answer(Drill drill, bool right);
    // "Запомнить разницу!" and the run that follows, until the next question.
    void rememberDifference(Drill drill);

private:
    WindowRig &m_rig;
    const CourseBook &m_book;
};

} // namespace nk::test
