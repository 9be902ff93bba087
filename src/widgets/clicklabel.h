#pragma once

#include <QAccessible>
#include <QLabel>

namespace nk {

// A label or picture that reports clicks: clicked() on a left-button release
// inside it, pressed() on every button press, the second press of a double
// click included. A double click is one click: the release that ends it is
// not reported, so a list entry or a link never acts twice (the second click
// would land on whatever page the first one opened). A label that takes focus
// from the Tab key acts on Return, Enter or Space as on a click, and shows its
// focus with a dotted frame.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    // The role is what assistive technology is told the label is: NoRole for
    // a text or picture a click does nothing on, so it stays a plain label. It
    // is fixed at construction, before anything can ask for the label's
    // interface, which is made once and kept.
    explicit ClickLabel(QWidget *parent = nullptr, QAccessible::Role role = QAccessible::NoRole);

    QAccessible::Role accessibleRole() const { return m_role; }
    // An entry shown but closed to clicks (a level not yet reached) is told as
    // disabled and refuses activation, without the look of a disabled widget.
    bool isOffered() const { return m_offered; }
    void setOffered(bool offered) { m_offered = offered; }

    // What a left click does, for a screen reader's action: the same signal,
    // so the same dispatch; nothing when the label is disabled or closed, as a
    // click would not reach it.
    void activate();

Q_SIGNALS:
    void clicked();
    void pressed(QPoint pos, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_inDoubleClick = false;
    QAccessible::Role m_role = QAccessible::NoRole;
    bool m_offered = true;
};

} // namespace nk
