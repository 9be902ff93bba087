#pragma once

#include "drills/blackwhitedrills.h"
#include "drills/pitchtest.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/step3.h"
#include "steps/step4.h"

namespace nk {

struct GlobalState;
struct StepContext;

// Every exercise in one place: the four steps of a level, the three
// black-and-white keys drills and the pitch test. They are made together from the window's step
// context and the run's state, and must be freed before either of those.
class Exercises
{
public:
    Exercises(StepContext &context, GlobalState &state);

    Step1 &learning() { return m_learning; }
    Step2 &memorising() { return m_memorising; }
    Step3 &training() { return m_training; }
    Step4 &melodies() { return m_melodies; }
    BlackWhiteDrills &drills() { return m_drills; }
    PitchTest &pitchTest() { return m_pitchTest; }

private:
    Step1 m_learning;
    Step2 m_memorising;
    Step3 m_training;
    Step4 m_melodies;
    BlackWhiteDrills m_drills;
    PitchTest m_pitchTest;
};

} // namespace nk
