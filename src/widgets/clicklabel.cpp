#include "widgets/clicklabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace nk {

ClickLabel::ClickLabel(QWidget *parent, QAccessible::Role role) : QLabel(parent), m_role(role) {}

void ClickLabel::activate()
{
    if (isEnabled() && m_offered)
        Q_EMIT clicked();
}

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

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool activates = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((focusPolicy() & Qt::TabFocus) && activates && plain && !event->isAutoRepeat()) {
        event->accept();
        Q_EMIT clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen pen(palette().color(foregroundRole()));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace nk
