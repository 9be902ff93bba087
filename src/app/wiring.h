#pragma once

namespace nk {

class TMainForm;

// The one place where the parts of the program are connected: the page routes
// of the menu column, the click and timer tables, the rest break, the hooks
// between the exercises. It only connects what the window has made.
class Wiring
{
public:
    static void connect(TMainForm &form);
};

} // namespace nk
