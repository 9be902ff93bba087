#pragma once

namespace nk {

// Moving through the course: the pages of a course part and of a level, and the
// progress flags of the current level's steps. Every exercise ends by
// activating the next step and going back to its level page.
class Navigation
{
public:
    virtual ~Navigation() = default;

    virtual void ShowPartPage(int part) = 0;
    virtual void ShowLevelPage(int level) = 0;
    // Marks a step of the current level active, creating its section if needed.
    virtual void ActivateStep(int step) = 0;
    virtual bool IsStepUsed(int step) = 0;
    virtual void MarkStepUsed(int step) = 0;
};

} // namespace nk
