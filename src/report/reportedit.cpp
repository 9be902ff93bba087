#include "report/reportedit.h"

#include "widgets/cp1251validator.h"
#include "widgets/page.h"

namespace nk {

ReportEdit::ReportEdit(Page &page, int tag) : QLineEdit(page.window())
{
    setTag(tag);
    // The answers go into the Windows-1251 log.
    setValidator(new Cp1251Validator(this));
    page.adopt(this);
}

} // namespace nk
