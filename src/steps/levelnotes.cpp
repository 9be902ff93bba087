#include "steps/levelnotes.h"

#include "course/notecatalogue.h"
#include "course/stepmap.h"

namespace nk {

QList<HistoryNote> LevelNotes::of(const NoteCatalogue &catalogue, int level)
{
    QList<HistoryNote> notes;
    if (level == StepMap::DrillLevel)
        return notes; // its keys are drilled, never named one by one
    const int count = catalogue.noteCount(level);
    for (int k = 1; k <= count; ++k) {
        const CatalogueNote note = catalogue.note(level, k);
        const HistoryNote entry{note.octave, note.pitch};
        if (!notes.contains(entry))
            notes.append(entry);
    }
    return notes;
}

} // namespace nk
