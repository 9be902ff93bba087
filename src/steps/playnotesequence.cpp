#include "steps/playnotesequence.h"

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/shutdown.h"
#include "keyboard/keyboard.h"
#include "steps/notesequence.h"
#include "steps/stepcontext.h"
#include "widgets/page.h"

#include <QCoreApplication>

namespace nk {

namespace {

// The level whose questions are shown on the keyboard as they play.
constexpr int KeysLitLevel = 4;

// Counts the playbacks begun. A playback begun inside another one's wait
// supersedes it: the learner now answers the newer notes, so the older loop
// must neither overwrite them nor sound over them.
quint64 latestPlayback = 0;

} // namespace

bool PlayNoteSequence(StepContext &context, const QString &text)
{
    const NoteSequence::Parsed parsed = NoteSequence::parse(text);
    if (!parsed.ok) {
        context.page.message(QStringLiteral("Ошибка в записи нот: «") + parsed.badToken +
                             QStringLiteral("»"));
        return false;
    }
    const QList<TNote> notes = parsed.notes.mid(0, MaxSequenceNotes);
    const bool reviewing = context.ErrorSet.Reviewing;
    if (!reviewing) {
        context.Allowed.AnswerLen = int(notes.size());
        context.Allowed.AnswerPos = 1;
    }
    const quint64 playback = ++latestPlayback;
    const auto superseded = [playback] { return playback != latestPlayback; };
    for (int i = 1; i <= notes.size() && !Shutdown::requested(); ++i) {
        QCoreApplication::processEvents();
        if (superseded())
            return false;
        const TNote &note = notes[i - 1];
        if (!reviewing)
            atPosition(context.NotesB, i) = note;
        if (context.Settings.Level == KeysLitLevel) {
            context.keyboard.ClearAllKeys();
            context.keyboard.PaintKey(note.Pitch, note.Octave, 1);
        }
        context.player.PlayNote(note.Octave, note.Pitch);
        WaitMs(qint64(context.Settings.TI) * note.Duration);
        if (superseded())
            return false;
    }
    context.keyboard.ClearAllKeys();
    return true;
}

} // namespace nk
