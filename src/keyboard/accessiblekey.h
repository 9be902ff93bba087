#pragma once

#include "keyboard/keyboardlayout.h"
#include "widgets/clicklabel.h"

#include <QAccessibleInterface>
#include <QPointer>

namespace nk {

// One key of the keyboard picture: a button whose press is a left click on
// the key, so it sounds, lights, records and judges as a click does. A key
// that would be silent to a click, or that cannot be seen, is disabled.
class AccessibleKey : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    AccessibleKey(ClickLabel *picture, KeyId key);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    bool pressable() const;

    QPointer<ClickLabel> m_picture;
    KeyId m_key;
};

} // namespace nk
