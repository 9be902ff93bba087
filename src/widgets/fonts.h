#pragma once

#include <QFont>

namespace nk {

// The window was designed at 96 DPI: sizes are pixels (12 pt is 16 px).
class Fonts
{
public:
    static QFont arial(int pixelSize, bool bold = false);
    static QFont sansSerif(int pixelSize, bool bold = false, bool underline = false);
    static int pointsToPixels(int points) { return (points * 96 + 36) / 72; }
};

} // namespace nk
