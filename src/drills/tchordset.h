#pragma once

namespace nk {

// Chords drill state.
struct TChordSet
{
};

} // namespace nk
