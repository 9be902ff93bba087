#include "widgets/pageitem.h"

#include <QObject>

namespace nk {

PageItem *PageItem::of(QObject *object)
{
    return dynamic_cast<PageItem *>(object);
}

} // namespace nk
