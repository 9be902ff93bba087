#pragma once

class QTextDocument;

namespace nk {

// Makes web addresses in shown text clickable: text starting with http://,
// https://, www. or mailto: becomes an anchor whose address is the text itself.
class LinkDetector
{
public:
    static void apply(QTextDocument *doc);
};

} // namespace nk
