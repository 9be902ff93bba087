#pragma once

namespace nk {

// Single-notes drill state.
struct TDNSet
{
};

} // namespace nk
