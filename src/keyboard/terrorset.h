#pragma once

namespace nk {

// Answer-error bookkeeping of training.
struct TErrorSet
{
};

} // namespace nk
