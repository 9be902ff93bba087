#pragma once

namespace nk {

// Training state.
struct TStep3Set
{
};

} // namespace nk
