#pragma once

#include <QAccessibleWidget>

namespace nk {

class ClickLabel;

// A label a click acts on, as assistive technology sees it: its visible text
// (or its accessible name, for a picture) as name, the role it was given, and
// a press action that is its click.
class AccessibleLabel : public QAccessibleWidget
{
public:
    explicit AccessibleLabel(ClickLabel *label);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    // Serves the labels that were given a role, the pictures and the text boxes of pages;
    // everything else keeps Qt's own interfaces. Installed once, before the first window is shown.
    static void installFactory();

private:
    ClickLabel *label() const;
};

} // namespace nk
