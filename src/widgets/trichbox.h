#pragma once

#include "widgets/pageitem.h"

#include <QTextBrowser>

namespace nk {

class Page;

// A text page: read-only rich or plain text whose web links open the maker's
// site pages in the browser.
class TRichBox : public QTextBrowser, public PageItem
{
    Q_OBJECT
public:
    TRichBox(Page &page, int tag);

    // Loads the whole file; a missing or unreadable file leaves the box empty.
    bool loadFile(const QString &path);

    // The address a clicked link opens: "?id=demo" is added unless it has a "#".
    static QString linkAddress(const QString &link);

private:
    void URLClick(const QUrl &url);

    Page &m_page;
};

} // namespace nk
