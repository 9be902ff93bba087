#pragma once

#include "widgets/pagelabel.h"

namespace nk {

// A link that moves the learner on (or back); its tag chooses where.
class TArrowLabel : public PageLabel
{
    Q_OBJECT
public:
    TArrowLabel(Page &page, const QString &text, int tag);
};

} // namespace nk
