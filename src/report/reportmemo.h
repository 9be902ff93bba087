#pragma once

#include "widgets/pageitem.h"

#include <QPlainTextEdit>

namespace nk {

class Page;

// A multi-line answer of the report form.
class ReportMemo : public QPlainTextEdit, public PageItem
{
    Q_OBJECT
public:
    ReportMemo(Page &page, int tag);

    // The answer as the log keeps it: lines joined by CR LF.
    QString answer() const;
};

} // namespace nk
