#include "report/reportmemo.h"

#include "widgets/cp1251validator.h"
#include "widgets/page.h"

namespace nk {

ReportMemo::ReportMemo(Page &page, int tag) : QPlainTextEdit(page.window())
{
    setTag(tag);
    setTabChangesFocus(true);
    // The answers go into the Windows-1251 log.
    Cp1251Validator::guard(this);
    page.adopt(this);
}

QString ReportMemo::answer() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

} // namespace nk
