#pragma once

namespace nk {

// Keyboard range and answer collection state.
struct TAllowed
{
};

} // namespace nk
