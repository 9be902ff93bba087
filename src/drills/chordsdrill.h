#pragma once

#include "drills/keysdrill.h"
#include "drills/tchordset.h"

namespace nk {

// Chords: a recorded chord, and its keys lit on the keyboard for two seconds.
class ChordsDrill : public KeysDrill
{
public:
    static constexpr int HighlightMs = 2000;
    // The one link into a drill from outside its own pages.
    static constexpr int QuestionLinkTag = 12;

    ChordsDrill(StepContext &context, TChordSet &set);

    void PickPair() override;
    bool PlayDrillItem(int colour, int item) override;
    QList<HistoryNote> itemNotes(int colour, int item) const override;

    // Chords per colour in the level's file: the smaller of the two counts.
    int countItems() const;

private:
    void lightChord(const QString &keys);

    TChordSet &m_set;
};

} // namespace nk
