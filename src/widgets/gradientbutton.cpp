#include "widgets/gradientbutton.h"

#include <QEnterEvent>
#include <QPainter>

namespace nk {

GradientButton::GradientButton(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void GradientButton::setFaceColor(const QColor &color)
{
    m_face = color;
    update();
}

void GradientButton::setStatePictures(const QPixmap &strip)
{
    m_strip = strip;
    update();
}

void GradientButton::setFlat(bool flat)
{
    m_flat = flat;
    setFocusPolicy(flat ? Qt::TabFocus : Qt::StrongFocus);
    update();
}

QSize GradientButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, this->text());
    return text + QSize(24, 12);
}

void GradientButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void GradientButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

QPixmap GradientButton::statePicture() const
{
    if (m_strip.isNull())
        return {};
    const int w = m_strip.width() / 3;
    const int index = isDown() ? 2 : (m_hover && isEnabled() ? 1 : 0);
    return m_strip.copy(index * w, 0, w, m_strip.height());
}

void GradientButton::paintFace(QPainter &p, const QRect &r) const
{
    QColor face = isEnabled() ? m_face : QColor(0xD4, 0xD0, 0xC8);
    if (isDown())
        face = face.darker(115);
    else if (m_hover && isEnabled())
        face = face.lighter(108);
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0.0, face.lighter(140));
    gradient.setColorAt(0.55, face);
    gradient.setColorAt(1.0, face);
    p.setBrush(gradient);
    p.setPen(QPen(isEnabled() ? face.darker(160) : QColor(0xA0, 0xA0, 0xA0), 1));
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    if (hasFocus()) {
        p.setPen(QPen(face.darker(200), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

void GradientButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    const QPixmap picture = statePicture();
    if (!picture.isNull()) {
        p.drawPixmap(
            QRect(QPoint(0, 0), picture.size())
                .translated((width() - picture.width()) / 2, (height() - picture.height()) / 2),
            picture);
        return;
    }
    if (!m_flat) {
        p.setRenderHint(QPainter::Antialiasing);
        paintFace(p, r);
    }
    p.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(0x80, 0x80, 0x80));
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint();
    p.drawText(r.translated(shift), Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap,
               text());
}

} // namespace nk
