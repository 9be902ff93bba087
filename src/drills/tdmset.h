#pragma once

namespace nk {

// Melodies drill state.
struct TDMSet
{
};

} // namespace nk
