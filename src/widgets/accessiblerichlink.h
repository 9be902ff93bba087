#pragma once

#include <QAccessibleInterface>
#include <QUrl>

namespace nk {

class AccessibleRichBox;

// One link of a text page: no widget of its own, so it lives as long as the
// page's text does and its box drops it.
class AccessibleRichLink : public QAccessibleInterface,
                           public QAccessibleActionInterface,
                           public QAccessibleHyperlinkInterface
{
public:
    AccessibleRichLink(AccessibleRichBox *box, int start, int end, const QUrl &url);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    QString anchor() const override;
    QString anchorTarget() const override { return m_url.toString(); }
    int startIndex() const override { return m_start; }
    int endIndex() const override { return m_end; }

private:
    AccessibleRichBox *m_box;
    int m_start;
    int m_end;
    QUrl m_url;
};

} // namespace nk
