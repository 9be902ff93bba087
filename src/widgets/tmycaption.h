#pragma once

#include "widgets/pagelabel.h"

namespace nk {

// The heading of a page, always at the same place.
class TMyCaption : public PageLabel
{
    Q_OBJECT
public:
    TMyCaption(Page &page, const QString &text, int tag);
};

} // namespace nk
