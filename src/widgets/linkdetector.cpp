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

bool overlapsAnchor(const QTextBlock &block, int start, int end)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const int fStart = f.position() - block.position();
        if (f.charFormat().isAnchor() && fStart < end && fStart + f.length() > start)
            return true;
    }
    return false;
}

void markLinks(QTextDocument *doc, const QTextBlock &block)
{
    const QString text = block.text();
    auto matches = linkPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch m = matches.next();
        const int start = int(m.capturedStart());
        const int end = int(m.capturedEnd());
        if (overlapsAnchor(block, start, end))
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
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        markLinks(doc, b);
}

} // namespace nk
