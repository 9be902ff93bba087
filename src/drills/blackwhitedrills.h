#pragma once

#include "drills/chordsdrill.h"
#include "drills/melodiesdrill.h"
#include "drills/notesdrill.h"

#include <array>

namespace nk {

// The three black-and-white keys drills of the run.
class BlackWhiteDrills
{
public:
    BlackWhiteDrills(StepContext &context, TChordSet &chords, TDMSet &melodies, TDNSet &notes);

    ChordsDrill &chords() { return m_chords; }
    MelodiesDrill &melodies() { return m_melodies; }
    NotesDrill &notes() { return m_notes; }
    std::array<KeysDrill *, 3> all() { return {&m_chords, &m_melodies, &m_notes}; }

private:
    ChordsDrill m_chords;
    MelodiesDrill m_melodies;
    NotesDrill m_notes;
};

} // namespace nk
