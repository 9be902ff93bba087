#pragma once

#include <thread>

namespace nk {

// Reads the system's font configuration (fontconfig's own start, most of what
// Qt's font database costs) on the other core while Qt sets itself up, so the
// window's first text need not wait for it. Made before the application
// object: fontconfig needs nothing of Qt, and Qt's own first look finds it
// done. Without fontconfig loaded, nothing happens.
class FontconfigWarmup
{
public:
    FontconfigWarmup();

private:
    std::jthread m_thread;
};

} // namespace nk
