#include "course/shutdown.h"

namespace nk {

namespace {
bool g_requested = false;
}

bool Shutdown::requested()
{
    return g_requested;
}
void Shutdown::request()
{
    g_requested = true;
}
void Shutdown::reset()
{
    g_requested = false;
}

} // namespace nk
