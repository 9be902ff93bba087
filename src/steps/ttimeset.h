#pragma once

namespace nk {

// Timing state of memorisation.
struct TTimeSet
{
};

} // namespace nk
