#pragma once

#include <QString>

namespace nk {

// Facts of the course's numbering shared by every part of the program.
class Levels
{
public:
    static constexpr int Count = 28;
    static constexpr int PartCount = 4;

    // The folder of a level's files: "01" … "09", "10" … "28".
    static QString LevelFolder(int level);

    // Revision levels, whose training and melodies are steps 1 and 2.
    static bool isShortLevel(int level);

    // The step numbers of training and melodies on a level.
    static int trainingStep(int level) { return isShortLevel(level) ? 1 : 3; }
    static int melodyStep(int level) { return isShortLevel(level) ? 2 : 4; }
};

} // namespace nk
