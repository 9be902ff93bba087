#pragma once

#include <QString>

namespace nk {

// The links and buttons of the statistics page and the links that lead to it
// from the level pages and the about page. The tags lie well above the
// course's own so that they never meet a tag of an exercise.
struct StatsLinks
{
    static constexpr int FromLevelTag = 40; // "Моя статистика" on a level page
    static constexpr int FromAboutTag = 41; // "Моя статистика" on the about page
    static constexpr int BackTag = 42;
    static constexpr int LevelScopeTag = 43;
    static constexpr int CourseScopeTag = 44;
    static constexpr int ConfusionViewTag = 45;
    static constexpr int AccuracyViewTag = 46;
    static constexpr int TimeViewTag = 47;
    static constexpr int PracticeTag = 48; // "Потренировать трудные ноты"
    static constexpr int LastPageTag = PracticeTag; // the page's own links: BackTag up to here
    static constexpr int PitchTestsViewTag = 56;    // after the pitch test's own links
    static constexpr int SaveCsvTag = 40;           // the button, dispatched apart from the links

    static QString text() { return QStringLiteral("Моя статистика"); }
    static QString practiceText() { return QStringLiteral("Потренировать трудные ноты"); }
};

} // namespace nk
