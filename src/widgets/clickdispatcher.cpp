#include "widgets/clickdispatcher.h"

#include "widgets/tarrowlabel.h"

namespace nk {

bool ClickDispatcher::isYesTag(int tag)
{
    switch (tag) {
    case 1:
    case 5:
    case 7:
    case 9:
    case 11:
    case 40:
        return true;
    default:
        return (tag >= 13 && tag <= 37) || (tag >= 41 && tag <= MaxYesTag);
    }
}

bool ClickDispatcher::isArrowTag(int tag)
{
    return (tag >= 1 && tag <= 21) || (tag >= 40 && tag <= MaxArrowTag);
}

bool ClickDispatcher::setYesAction(int tag, Action action)
{
    if (!isYesTag(tag))
        return false;
    m_yes[tag] = std::move(action);
    return true;
}

bool ClickDispatcher::setArrowAction(int tag, LinkAction action)
{
    if (!isArrowTag(tag))
        return false;
    m_arrow[tag] = std::move(action);
    return true;
}

void ClickDispatcher::yesClick(int tag) const
{
    if (isYesTag(tag) && m_yes[tag])
        m_yes[tag]();
}

void ClickDispatcher::arrowClick(TArrowLabel &link) const
{
    const int tag = link.tag();
    if (isArrowTag(tag) && m_arrow[tag])
        m_arrow[tag](link);
}

} // namespace nk
