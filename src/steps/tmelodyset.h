#pragma once

namespace nk {

// Melodies state.
struct TMelodySet
{
};

} // namespace nk
