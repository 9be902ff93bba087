#pragma once

#include <QString>

namespace nk {

// The pitch test's buttons and links, after the course's and the other pages'
// tags: the start button and the twelve note names, the links to the test
// from the about page, the statistics page and a level page's reminder, and
// the way back.
struct PitchTestLinks
{
    static constexpr int StartTag = 41;
    static constexpr int FirstNameTag = 42; // ДО; СИ is FirstNameTag + 11
    static constexpr int LastNameTag = FirstNameTag + 11;

    static constexpr int FromAboutTag = 52;
    static constexpr int FromStatsTag = 53;
    static constexpr int FromLevelTag = 54;
    static constexpr int BackTag = 55;

    static QString text() { return QStringLiteral("Проверка слуха"); }
};

} // namespace nk
