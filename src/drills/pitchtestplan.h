#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace nk {

// One note of the test: a pitch class in an octave (3 great … 7 third, as the
// course numbers them) and a timbre folder.
struct TestNote
{
    int octave = 5;
    int pitch = 0;
    QString timbre;
    bool operator==(const TestNote &) const = default;
};

// What is played before each trial's note: short random tones that wipe the
// memory of the note before, then a random silence.
struct MaskingSequence
{
    QList<TestNote> tones;
    int silenceMs = 0;
};

// The 36 trials of a pitch test, drawn from the program's random source: each
// of the twelve pitch classes three times, never the same one twice in a row,
// each in a random octave of the five and a random timbre of those given.
class PitchTestPlan
{
public:
    static constexpr int Trials = 36;
    static constexpr int LowestOctave = 3;
    static constexpr int HighestOctave = 7;
    static constexpr int MaskingTones = 10;
    static constexpr int MaskingToneMs = 120;
    static constexpr int ShortestSilenceMs = 1000;
    static constexpr int LongestSilenceMs = 3000;

    // An empty list of timbres plays every note on the piano.
    static QList<TestNote> draw(const QStringList &timbres);
    static MaskingSequence masking(const QStringList &timbres);

private:
    static QList<int> pitchOrder();
    static QString timbreOf(const QStringList &timbres);
};

} // namespace nk
