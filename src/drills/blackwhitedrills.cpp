#include "drills/blackwhitedrills.h"

namespace nk {

BlackWhiteDrills::BlackWhiteDrills(StepContext &context, TChordSet &chords, TDMSet &melodies,
                                   TDNSet &notes)
    : m_chords(context, chords), m_melodies(context, melodies), m_notes(context, notes)
{
}

} // namespace nk
