#include "app/exercises.h"

#include "app/globalstate.h"

namespace nk {

Exercises::Exercises(StepContext &context, GlobalState &state)
    : m_learning(context), m_memorising(context, state.TimeSet),
      m_training(context, state.Step3Set), m_melodies(context, state.MelodySet),
      m_drills(context, state.ChordSet, state.DMSet, state.DNSet), m_pitchTest(context)
{
}

} // namespace nk
