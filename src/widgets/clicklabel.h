#pragma once

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
    explicit ClickLabel(QWidget *parent = nullptr);

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
};

} // namespace nk
