#pragma once

#include <QString>
#include <array>
#include <functional>

namespace nk {

class TArrowLabel;

// Routes a click of an action button or an arrow link by its tag to the action
// of the part of the program that owns the page. The tables are filled in one
// wiring place; a tag that is not listed, or not yet wired, does nothing.
class ClickDispatcher
{
public:
    using Action = std::function<void()>;
    using LinkAction = std::function<void(TArrowLabel &link)>;

    // The course's own tags end at 37 and 21; the statistics page and the links
    // to it have 40 (its button) and 40-48 (its links), the settings page and
    // the links to it 49-51, the pitch test 41-53 (its buttons) and 52-55,
    // the statistics page's view of the pitch tests 56.
    static constexpr int MaxYesTag = 53;
    static constexpr int MaxArrowTag = 56;

    static bool isYesTag(int tag);
    static bool isArrowTag(int tag);

    // Returns false, and stores nothing, for a tag the buttons do not use.
    bool setYesAction(int tag, Action action);
    bool setArrowAction(int tag, LinkAction action);

    void yesClick(int tag) const;
    void arrowClick(TArrowLabel &link) const;

    // The widgets whose one click has a single owner.
    std::function<void(int tag)> levelClick; // a level of a course part page
    std::function<void(int tag)> stepClick;  // a step of a level page
    std::function<void(int tag)> noteClick;  // a note of the note list
    Action answerClick;                      // the answer button of a question
    Action answerEnter;                      // Enter in a filled answer box
    std::function<void(const QString &address)> openSite;

private:
    std::array<Action, MaxYesTag + 1> m_yes;
    std::array<LinkAction, MaxArrowTag + 1> m_arrow;
};

} // namespace nk
