#pragma once

#include "widgets/gradientbutton.h"
#include "widgets/pageitem.h"

namespace nk {

class Page;

// The answer button of a question of the note questionnaire.
class TMyButton : public GradientButton, public PageItem
{
    Q_OBJECT
public:
    TMyButton(Page &page, const QString &text, int tag);
};

} // namespace nk
