#pragma once

#include <QtGlobal>

namespace nk {

struct StepContext;

// Fills the note card of the comparison page, whose parts it finds by their
// places and name: the note's name, its picture from the level folder and
// the three characteristics the learner chose, then plays the note. Parts
// that are not there are skipped; a missing picture leaves the box empty.
void ShowNoteCard(StepContext &context, int octave, quint8 pitch);

} // namespace nk
