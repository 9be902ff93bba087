#pragma once

#include <QImage>

namespace nk::artworkgen {

// The exit button's three states side by side (normal, hover, pressed), each
// 100 x 50: a red face with "Выход" in bold white.
class ExitStrip
{
public:
    static constexpr int Width = 300;
    static constexpr int Height = 50;
    static QImage draw();
};

} // namespace nk::artworkgen
