#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace nk {

// A push button drawn with a vertical gradient from a lighter shade down to its
// face colour. With state pictures it shows only the picture for its state.
class GradientButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit GradientButton(QWidget *parent = nullptr);

    void setFaceColor(const QColor &color);
    QColor faceColor() const { return m_face; }

    // One picture holding three equal images side by side: normal, hover, pressed.
    void setStatePictures(const QPixmap &strip);

    // No frame, gradient or focus highlight: only text or picture shows.
    void setFlat(bool flat);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void paintFace(class QPainter &p, const QRect &r) const;
    QPixmap statePicture() const;

    QColor m_face{0x84, 0xC2, 0x25};
    QPixmap m_strip;
    bool m_flat = false;
    bool m_hover = false;
};

} // namespace nk
