#include "steps/answerhistory.h"

#include "audio/noteplayer.h"
#include "course/programclock.h"
#include "course/tglobalsettings.h"
#include "keyboard/notearray.h"
#include "keyboard/tallowed.h"
#include "steps/stepcontext.h"

#include <algorithm>

namespace nk {

namespace {

QList<HistoryNote> notesOf(const NoteArray &notes, int length)
{
    QList<HistoryNote> list;
    for (int i = 1; i <= length; ++i) {
        const TNote &note = atPosition(notes, i);
        list.append({note.Octave, note.Pitch});
    }
    return list;
}

HistoryAnswer answerNow(const StepContext &context, HistoryKind kind, bool right)
{
    HistoryAnswer answer;
    answer.at = ProgramClock::now();
    answer.level = context.Settings.Level;
    answer.kind = kind;
    answer.right = right;
    answer.answerMs = context.history.answerMs();
    answer.timbre = context.player.timbre();
    return answer;
}

} // namespace

void AnswerHistory::recordNotes(StepContext &context, HistoryKind kind, bool right, int noteCount)
{
    HistoryAnswer answer = answerNow(context, kind, right);
    const int length = std::clamp(context.Allowed.AnswerLen, 0, MaxSequenceNotes);
    answer.played = notesOf(context.NotesB, length);
    answer.answered = notesOf(context.NotesA, length);
    answer.noteCount = noteCount;
    context.history.recordAnswer(answer);
}

void AnswerHistory::recordChoice(StepContext &context, HistoryKind kind, bool right, int choice,
                                 const QList<HistoryNote> &played)
{
    HistoryAnswer answer = answerNow(context, kind, right);
    answer.choice = choice;
    answer.played = played;
    context.history.recordAnswer(answer);
}

void AnswerHistory::recordRest(StepContext &context, HistoryRest kind)
{
    context.history.recordRest(ProgramClock::now(), context.Settings.Level, kind);
}

} // namespace nk
