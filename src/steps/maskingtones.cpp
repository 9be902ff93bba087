#include "steps/maskingtones.h"

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "course/randomsource.h"
#include "course/shutdown.h"
#include "course/tglobalsettings.h"
#include "steps/stepcontext.h"

namespace nk {

QString MaskingSequence::timbreOf(const QStringList &timbres)
{
    if (timbres.isEmpty())
        return QStringLiteral("piano");
    return timbres[RandomSource::draw(0, int(timbres.size()) - 1)];
}

MaskingSequence MaskingSequence::draw(const QStringList &timbres)
{
    MaskingSequence sequence;
    for (int i = 0; i < Tones; ++i) {
        sequence.tones.append({RandomSource::draw(LowestOctave, HighestOctave),
                               RandomSource::draw(0, 11), timbreOf(timbres)});
    }
    sequence.silenceMs = RandomSource::draw(ShortestSilenceMs, LongestSilenceMs);
    return sequence;
}

bool PlayMasking(StepContext &context)
{
    // The timbres the question itself may be played in.
    const QStringList timbres =
        context.Settings.TembrMix ? context.Settings.TembrSet : QStringList{context.Settings.Tembr};
    const MaskingSequence masking = MaskingSequence::draw(timbres);
    NotePlayer &player = context.player;
    for (const TestNote &tone : masking.tones) {
        player.playFile(NotePlayer::recordedNotePath(tone.timbre, tone.octave, tone.pitch));
        WaitMs(MaskingSequence::ToneMs);
        if (Shutdown::requested())
            return false;
    }
    player.stop();
    WaitMs(masking.silenceMs);
    return !Shutdown::requested();
}

} // namespace nk
