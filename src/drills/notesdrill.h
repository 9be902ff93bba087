#pragma once

#include "drills/keysdrill.h"
#include "drills/tdnset.h"

namespace nk {

// Single notes: each colour is drawn from its own number of notes.
class NotesDrill : public KeysDrill
{
public:
    NotesDrill(StepContext &context, TDNSet &set);

    void PickPair() override;
    bool PlayDrillItem(int colour, int item) override;
    QList<HistoryNote> itemNotes(int colour, int item) const override;

    // Notes of one colour in the level's file.
    int countItems(int colour) const;

private:
    TDNSet &m_set;
};

} // namespace nk
