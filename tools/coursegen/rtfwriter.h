#pragma once

#include <QByteArray>
#include <QString>

namespace nk {

// Turns the plain markup of a text page into RTF with a Cyrillic font table.
// Markup, one paragraph per line: "# " starts a heading, "- " a list item,
// empty lines only separate; web addresses are shown as underlined links.
class RtfWriter
{
public:
    // Throws GenerationError for characters Windows-1251 cannot store.
    static QByteArray fromMarkup(const QString &markup);

private:
    static QByteArray paragraph(const QString &line);
    static QByteArray inlineText(const QString &text);
    static QByteArray escaped(const QString &text);
};

} // namespace nk
