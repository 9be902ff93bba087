#pragma once

#include <functional>

namespace nk {

// The edge between the window system and the program's actions. Every click,
// key, timer and menu action runs through run(): a failure inside it (a log or
// data file that cannot be written) ends only that action, is shown in the
// program's message, and never travels on through the window system's own
// calls, which cannot be unwound safely.
class ActionBoundary
{
public:
    static void run(const std::function<void()> &action) noexcept;

    // The action wrapped for a signal connection.
    template <typename F> static auto guard(F action)
    {
        return [action = std::move(action)] { run(action); };
    }
};

} // namespace nk
