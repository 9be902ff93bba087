#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace nk {

struct StepContext;

// One recorded note: a pitch class in an octave (3 great … 7 third, as the
// course numbers them) and a timbre folder.
struct TestNote
{
    int octave = 5;
    int pitch = 0;
    QString timbre;
    bool operator==(const TestNote &) const = default;
};

// What is played before a note that must be named on its own: short random
// tones over five octaves and the timbres given, which wipe the memory of the
// note before, then a random silence.
struct MaskingSequence
{
    static constexpr int Tones = 10;
    static constexpr int ToneMs = 120;
    static constexpr int ShortestSilenceMs = 1000;
    static constexpr int LongestSilenceMs = 3000;
    static constexpr int LowestOctave = 3;
    static constexpr int HighestOctave = 7;

    QList<TestNote> tones;
    int silenceMs = 0;

    // From the program's random source; no timbres: the piano.
    static MaskingSequence draw(const QStringList &timbres);
    static QString timbreOf(const QStringList &timbres);
};

// The guard against comparing with the note before, as training and the
// drills play it before the first listen of a new question: the tones and
// the silence, waited out as playback is. Returns false when another playback
// or the end of the session cut it short.
bool PlayMasking(StepContext &context);

} // namespace nk
