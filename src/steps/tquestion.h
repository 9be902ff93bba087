#pragma once

#include <QPointer>

namespace nk {

class PageLabel;
class TMyButton;
class TMyEdit;

// The widgets of one questionnaire page. They belong to the page and go with
// it; the row only points at them.
struct TQuestion
{
    QPointer<PageLabel> NumberLabel;
    QPointer<PageLabel> TitleLabel;
    QPointer<PageLabel> BodyLabel;
    QPointer<PageLabel> PromptLabel;
    QPointer<TMyEdit> AnswerEdit;
    QPointer<TMyButton> AnswerButton;
};

} // namespace nk
