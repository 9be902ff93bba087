#pragma once

#include <QString>

namespace nk {

// The links to the settings page from the level pages and the about page, and
// the page's way back. They follow the statistics page's tags.
struct SettingsLinks
{
    static constexpr int FromLevelTag = 49;
    static constexpr int FromAboutTag = 50;
    static constexpr int BackTag = 51;

    static QString text() { return QStringLiteral("Настройки"); }
};

} // namespace nk
