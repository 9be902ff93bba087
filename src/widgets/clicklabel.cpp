#include "widgets/clicklabel.h"

#include <QMouseEvent>

namespace nk {

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent) {}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_inDoubleClick = false;
    Q_EMIT pressed(event->position().toPoint(), event->button());
    event->accept();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_inDoubleClick = event->button() == Qt::LeftButton;
    Q_EMIT pressed(event->position().toPoint(), event->button());
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool second = m_inDoubleClick && event->button() == Qt::LeftButton;
    if (second)
        m_inDoubleClick = false;
    if (!second && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    event->accept();
}

} // namespace nk
