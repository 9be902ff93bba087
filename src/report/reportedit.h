#pragma once

#include "widgets/pageitem.h"

#include <QLineEdit>

namespace nk {

class Page;

// A one-line answer of the report form. Only report answers are of this class,
// so the form finds its own fields among the page's widgets by it.
class ReportEdit : public QLineEdit, public PageItem
{
    Q_OBJECT
public:
    ReportEdit(Page &page, int tag);
};

} // namespace nk
