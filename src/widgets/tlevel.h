#pragma once

#include "widgets/pagelabel.h"

namespace nk {

// A level in the list of a course part page; its click opens the level.
class TLevel : public PageLabel
{
    Q_OBJECT
public:
    TLevel(Page &page, const QString &text, int tag);
};

} // namespace nk
