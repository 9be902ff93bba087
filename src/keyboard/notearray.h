#pragma once

#include "audio/tnote.h"

#include <QtGlobal>
#include <array>

namespace nk {

// The learner's answer (NotesA) and the notes to reproduce (NotesB).
using NoteArray = std::array<TNote, MaxSequenceNotes>;

// Answer positions count from 1, as the learner plays them; every array indexed
// by an answer position goes through here, so the shift lives in one place.
constexpr bool isAnswerPosition(int position)
{
    return position >= 1 && position <= MaxSequenceNotes;
}

template <typename Array> constexpr auto &atPosition(Array &array, int position)
{
    Q_ASSERT(isAnswerPosition(position));
    return array[std::size_t(position - 1)];
}

} // namespace nk
