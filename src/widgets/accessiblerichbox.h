#pragma once

#include <QAccessibleWidget>
#include <QUrl>
#include <vector>

namespace nk {

class TRichBox;

// A text page as assistive technology sees it: read-only text named by its
// first line, read through the text interface with the caret, and each link
// in it a child of its own, named by its text, whose press is a click on it.
class AccessibleRichBox : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit AccessibleRichBox(TRichBox *box);
    ~AccessibleRichBox() override;

    void *interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    // The text interface, over the document's plain text.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    TRichBox *box() const;
    // The screen rectangle of a stretch of the text.
    QRect rangeRect(int start, int end) const;

private:
    struct Link
    {
        int start = 0;
        int end = 0;
        QUrl url;
        QAccessible::Id id = 0;
    };
    void refreshLinks() const;
    void dropLinks() const;

    mutable std::vector<Link> m_links;
    mutable int m_revision = -1;
};

} // namespace nk
