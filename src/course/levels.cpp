#include "course/levels.h"

#include <algorithm>
#include <array>

namespace nk {

QString Levels::LevelFolder(int level)
{
    if (level >= 1 && level <= 9)
        return QLatin1Char('0') + QString::number(level);
    return QString::number(level);
}

bool Levels::isShortLevel(int level)
{
    static constexpr std::array<int, 12> ShortLevels{3, 8, 9, 12, 16, 17, 18, 21, 25, 26, 27, 28};
    return std::find(ShortLevels.begin(), ShortLevels.end(), level) != ShortLevels.end();
}

} // namespace nk
