#include "widgets/trichbox.h"

#include "widgets/actionboundary.h"
#include "widgets/clickdispatcher.h"
#include "widgets/page.h"
#include "widgets/textpageloader.h"

#include <QFile>

namespace nk {

TRichBox::TRichBox(Page &page, int tag) : QTextBrowser(page.window()), m_page(page)
{
    setTag(tag);
    setFrameShape(QFrame::NoFrame);
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl &url) { ActionBoundary::run([this, &url] { URLClick(url); }); });
    page.adopt(this);
}

bool TRichBox::loadFile(const QString &path)
{
    clear();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    TextPageLoader::load(file.readAll(), document());
    return true;
}

QString TRichBox::linkAddress(const QString &link)
{
    if (link.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return link;
    return link.contains(QLatin1Char('#')) ? link : link + QStringLiteral("?id=demo");
}

// Passed on as written: a decoded "%20" would no longer be an address.
void TRichBox::URLClick(const QUrl &url)
{
    if (m_page.dispatcher().openSite)
        m_page.dispatcher().openSite(linkAddress(url.toString(QUrl::FullyEncoded)));
}

} // namespace nk
