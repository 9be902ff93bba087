#pragma once

#include "drills/blackwhitedrills.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/step3.h"
#include "steps/step4.h"

namespace nk {

struct GlobalState;
struct StepContext;

// Every exercise of a level in one place: the four steps and the three
// black-and-white keys drills. They are made together from the window's step
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

private:
    Step1 m_learning;
    Step2 m_memorising;
    Step3 m_training;
    Step4 m_melodies;
    BlackWhiteDrills m_drills;
};

} // namespace nk
