#pragma once

#include "widgets/gradientbutton.h"
#include "widgets/pageitem.h"

#include <functional>

namespace nk {

class Page;

// The button that brings in the learner's own note picture. The action
// buttons' tag table has no number for it, so it carries its action itself.
class TPictureButton : public GradientButton, public PageItem
{
    Q_OBJECT
public:
    TPictureButton(Page &page, const QString &text, std::function<void()> action);
};

} // namespace nk
