#include "widgets/linkdetector.h"

#include <QColor>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace nk {

namespace {

const QRegularExpression &linkPattern()
{
    // Closing punctuation is part of the sentence, not of the address.
    static const QRegularExpression re(
        QString::fromUtf8(R"re((?:https?://|www\.|mailto:)[^\s<>"«»]*[^\s<>"«».,;:!?)\]'])re"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// The links the text brought along, as [start, end) within the block, in order.
// Taken once per block: looking through every fragment again for each address
// made a block full of addresses take time quadratic in its length.
QList<std::pair<int, int>> anchorSpans(const QTextBlock &block)
{
    QList<std::pair<int, int>> spans;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.charFormat().isAnchor()) {
            const int start = f.position() - block.position();
            spans.append({start, start + f.length()});
        }
    }
    return spans;
}

void markLinks(QTextDocument *doc, const QTextBlock &block)
{
    const QString text = block.text();
    const QList<std::pair<int, int>> anchors = anchorSpans(block);
    qsizetype next = 0; // the first of them that may reach this match or a later one
    auto matches = linkPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch m = matches.next();
        const int start = int(m.capturedStart());
        const int end = int(m.capturedEnd());
        while (next < anchors.size() && anchors[next].second <= start)
            ++next;
        if (next < anchors.size() && anchors[next].first < end)
            continue; // a link of the text's own stays as its author made it
        QTextCursor c(doc);
        c.setPosition(block.position() + start);
        c.setPosition(block.position() + end, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorHref(m.captured());
        f.setFontUnderline(true);
        f.setForeground(QColor(0x00, 0x00, 0xFF));
        c.mergeCharFormat(f);
    }
}

} // namespace

void LinkDetector::apply(QTextDocument *doc)
{
    // Inside one edit block selecting an address does not lay out its
    // paragraph again each time.
    QTextCursor edit(doc);
    edit.beginEditBlock();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        markLinks(doc, b);
    edit.endEditBlock();
}

} // namespace nk
