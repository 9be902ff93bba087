#pragma once

#include <QString>

namespace nk {

struct StepContext;

// Plays a note sequence note by note, each for its duration in time units.
// Unless wrong answers are being reviewed, the played notes become the notes
// to reproduce and the answer starts again at its first note. On level 4 the
// keys light up as they sound. A text with a token that is not a note shows
// one message naming it and plays nothing; a run longer than the answer
// arrays is cut to their length. A playback started during this one's waits
// supersedes it: this one then stops at once and returns false. Returns
// whether the whole sequence was played.
bool PlayNoteSequence(StepContext &context, const QString &text);

} // namespace nk
