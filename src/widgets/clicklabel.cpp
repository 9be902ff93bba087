#include "widgets/clicklabel.h"

#include <QMouseEvent>

namespace nk {

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent) {}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT pressed(event->position().toPoint(), event->button());
    event->accept();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_EMIT pressed(event->position().toPoint(), event->button());
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    event->accept();
}

} // namespace nk
