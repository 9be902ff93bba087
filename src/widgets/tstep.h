#pragma once

#include "widgets/pagelabel.h"

namespace nk {

// A step in the list of a level page; its click opens the step.
class TStep : public PageLabel
{
    Q_OBJECT
public:
    TStep(Page &page, const QString &text, int tag);
};

} // namespace nk
