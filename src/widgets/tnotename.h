#pragma once

#include "widgets/pagelabel.h"

namespace nk {

// A note in the note list; its click starts the questionnaire of that note.
class TNoteName : public PageLabel
{
    Q_OBJECT
public:
    TNoteName(Page &page, const QString &text, int tag);
};

} // namespace nk
