#include "widgets/accessiblerichbox.h"

#include "widgets/accessiblerichlink.h"
#include "widgets/trichbox.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace nk {

namespace {
// A name is what a reader says first on reaching the box: a title, not a page.
constexpr int kLongestName = 80;

QString firstLine(const QString &text)
{
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString said = line.simplified();
        if (said.isEmpty())
            continue;
        if (said.size() <= kLongestName)
            return said;
        const int cut = said.lastIndexOf(QLatin1Char(' '), kLongestName);
        return said.left(cut > 0 ? cut : kLongestName) + QStringLiteral("…");
    }
    return {};
}
} // namespace

AccessibleRichBox::AccessibleRichBox(TRichBox *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

AccessibleRichBox::~AccessibleRichBox()
{
    dropLinks();
}

TRichBox *AccessibleRichBox::box() const
{
    return static_cast<TRichBox *>(widget());
}

void *AccessibleRichBox::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString AccessibleRichBox::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && box()->accessibleName().isEmpty())
        return firstLine(box()->document()->toPlainText());
    if (t == QAccessible::Value)
        return box()->document()->toPlainText();
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleRichBox::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

void AccessibleRichBox::refreshLinks() const
{
    const int revision = box()->document()->revision();
    if (revision == m_revision)
        return;
    dropLinks();
    m_revision = revision;
    for (QTextBlock block = box()->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isAnchor() || format.anchorHref().isEmpty())
                continue;
            const int start = fragment.position();
            const int end = start + fragment.length();
            const QUrl url(format.anchorHref());
            if (!m_links.empty() && m_links.back().end == start && m_links.back().url == url)
                m_links.back().end = end;
            else
                m_links.push_back({start, end, url});
        }
    }
    auto *self = const_cast<AccessibleRichBox *>(this);
    for (Link &link : m_links)
        link.id = QAccessible::registerAccessibleInterface(
            new AccessibleRichLink(self, link.start, link.end, link.url));
}

void AccessibleRichBox::dropLinks() const
{
    for (const Link &link : m_links)
        QAccessible::deleteAccessibleInterface(link.id);
    m_links.clear();
}

int AccessibleRichBox::childCount() const
{
    refreshLinks();
    return int(m_links.size());
}

QAccessibleInterface *AccessibleRichBox::child(int index) const
{
    refreshLinks();
    if (index < 0 || index >= int(m_links.size()))
        return nullptr;
    return QAccessible::accessibleInterface(m_links[size_t(index)].id);
}

int AccessibleRichBox::indexOfChild(const QAccessibleInterface *child) const
{
    refreshLinks();
    for (size_t i = 0; i < m_links.size(); ++i) {
        if (QAccessible::accessibleInterface(m_links[i].id) == child)
            return int(i);
    }
    return -1;
}

void AccessibleRichBox::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const QTextCursor cursor = box()->textCursor();
    const bool has = selectionIndex == 0 && cursor.hasSelection();
    *startOffset = has ? cursor.selectionStart() : 0;
    *endOffset = has ? cursor.selectionEnd() : 0;
}

int AccessibleRichBox::selectionCount() const
{
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void AccessibleRichBox::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleRichBox::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.clearSelection();
    box()->setTextCursor(cursor);
}

void AccessibleRichBox::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int last = characterCount();
    QTextCursor cursor(box()->document());
    cursor.setPosition(std::clamp(startOffset, 0, last));
    cursor.setPosition(std::clamp(endOffset, 0, last), QTextCursor::KeepAnchor);
    box()->setTextCursor(cursor);
}

int AccessibleRichBox::cursorPosition() const
{
    return box()->textCursor().position();
}

void AccessibleRichBox::setCursorPosition(int position)
{
    QTextCursor cursor(box()->document());
    cursor.setPosition(std::clamp(position, 0, characterCount()));
    box()->setTextCursor(cursor);
}

QString AccessibleRichBox::text(int startOffset, int endOffset) const
{
    return box()->document()->toPlainText().mid(startOffset, endOffset - startOffset);
}

int AccessibleRichBox::characterCount() const
{
    return int(box()->document()->toPlainText().size());
}

QRect AccessibleRichBox::rangeRect(int start, int end) const
{
    QTextCursor cursor(box()->document());
    const int last = characterCount();
    cursor.setPosition(std::clamp(start, 0, last));
    QRect r = box()->cursorRect(cursor);
    cursor.setPosition(std::clamp(end, 0, last));
    r = r.united(box()->cursorRect(cursor));
    return QRect(box()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QRect AccessibleRichBox::characterRect(int offset) const
{
    return rangeRect(offset, offset + 1);
}

int AccessibleRichBox::offsetAtPoint(const QPoint &point) const
{
    return box()->cursorForPosition(box()->viewport()->mapFromGlobal(point)).position();
}

void AccessibleRichBox::scrollToSubstring(int startIndex, int endIndex)
{
    setSelection(0, startIndex, endIndex);
    box()->ensureCursorVisible();
}

QString AccessibleRichBox::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

} // namespace nk
