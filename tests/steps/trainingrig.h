#pragma once

#include "app/exercises.h"
#include "windowrig.h"

namespace nk {
class Step3;
struct StepContext;
} // namespace nk

namespace nk::test {

// The window rig over the given level folders, for the steps of a level.
class TrainingRig : public WindowRig
{
public:
    explicit TrainingRig(const QStringList &levelFolders) : WindowRig(levelFolders) {}

    StepContext &context() { return m_form->steps(); }
    Step3 &training() { return m_form->exercises().training(); }

    // The level page, then its training step, as a learner opens them.
    void openTraining(int level);
    void pressKey(int octave, int pitch);
    bool comparisonShown() const;
};

} // namespace nk::test
