#pragma once

#include <QColor>

namespace nk {

// What the statistics page's plots share, so that they line up and look alike.
struct PlotStyle
{
    static constexpr int AxisWidth = 40; // room left of a plot for its scale
    static constexpr QColor Grid{0xE4, 0xE4, 0xE4};
};

} // namespace nk
