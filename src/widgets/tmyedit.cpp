#include "widgets/tmyedit.h"

#include "widgets/actionboundary.h"
#include "widgets/clickdispatcher.h"
#include "widgets/cp1251validator.h"
#include "widgets/page.h"

#include <QKeyEvent>

namespace nk {

TMyEdit::TMyEdit(Page &page, int tag) : QLineEdit(page.window()), m_page(page)
{
    setTag(tag);
    setValidator(new Cp1251Validator(this));
    page.adopt(this);
}

void TMyEdit::keyPressEvent(QKeyEvent *event)
{
    QLineEdit::keyPressEvent(event);
    const int key = event->key();
    ActionBoundary::run([this, key] { KeyPress(key); });
}

void TMyEdit::KeyPress(int key)
{
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || tag() != AnswerBoxTag)
        return;
    if (text().isEmpty()) {
        m_page.message(QStringLiteral("Сначала введите ответ!"));
        return;
    }
    if (m_page.dispatcher().answerEnter)
        m_page.dispatcher().answerEnter();
    m_page.enableAt(QPoint(157, 329)); // the page's "Продолжить" link
}

} // namespace nk
