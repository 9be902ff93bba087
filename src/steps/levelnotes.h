#pragma once

#include "history/historysummary.h"

#include <QList>

namespace nk {

class NoteCatalogue;

// A level's notes as the history names them, in the catalogue's order.
class LevelNotes
{
public:
    static QList<HistoryNote> of(const NoteCatalogue &catalogue, int level);
};

} // namespace nk
