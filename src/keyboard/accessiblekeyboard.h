#pragma once

#include "keyboard/keyboardlayout.h"

#include <QAccessibleWidget>
#include <array>

namespace nk {

class ClickLabel;
class Keyboard;

// The keyboard picture as assistive technology sees it: a group of 36 key
// buttons, small octave first, each pressed by a click on that key.
class AccessibleKeyboard : public QAccessibleWidget
{
public:
    explicit AccessibleKeyboard(ClickLabel *picture);
    ~AccessibleKeyboard() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;

    // The picture's keys answer for this keyboard until either is gone.
    static void attach(ClickLabel *picture, const Keyboard *keyboard);
    static void detach(const Keyboard *keyboard);
    static const Keyboard *keyboardOf(const QObject *picture);
    static void installFactory();

    // The key of a child index, 0 to 35, and the reverse.
    static KeyId keyOfIndex(int index);
    static int indexOfKey(KeyId key);
    // The key's name as a learner says it: "ЛЯ# первой октавы".
    static QString keyName(KeyId key);
    // The key's box on the picture.
    static QRect keyBox(KeyId key);

private:
    mutable std::array<QAccessible::Id, KeyboardLayout::KeyCount> m_keys{};
};

} // namespace nk
