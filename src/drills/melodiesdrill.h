#pragma once

#include "drills/keysdrill.h"
#include "drills/tdmset.h"

namespace nk {

// Melodies: the black and the white melody of a question carry one number.
class MelodiesDrill : public KeysDrill
{
public:
    MelodiesDrill(StepContext &context, TDMSet &set);

    void PickPair() override;
    bool PlayDrillItem(int colour, int item) override;
    QList<HistoryNote> itemNotes(int colour, int item) const override;

    // Melodies per colour in the level's file: the smaller of the two counts.
    int countItems() const;

private:
    TDMSet &m_set;
};

} // namespace nk
