#pragma once

#include "widgets/pageitem.h"

#include <QLineEdit>

namespace nk {

class Page;

// The answer box of a question. Enter in it answers, as the answer button does;
// it accepts only what the course files can store.
class TMyEdit : public QLineEdit, public PageItem
{
    Q_OBJECT
public:
    static constexpr int AnswerBoxTag = 2;

    TMyEdit(Page &page, int tag);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void KeyPress(int key);

    Page &m_page;
};

} // namespace nk
