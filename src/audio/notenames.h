#pragma once

#include <QString>

namespace nk {

inline constexpr int FirstOctave = 4; // the small octave, leftmost on the keyboard
inline constexpr int LastOctave = 6;  // the second octave
inline constexpr int PitchCount = 12;

// The on-screen name of a pitch class, "ДО" … "СИ"; "нет данных" for anything
// outside 0..11.
QString PitchName(quint8 pitch);

// Pitches read from course files pass through here, so a bad or missing one
// silently becomes ДО rather than an error.
quint8 NormalizePitch(qint32 value);

// Black keys of the keyboard: ДО#, РЕ#, ФА#, СОЛЬ#, ЛЯ#.
bool isBlackKey(int pitch);

// File name of a pitch's recording ("00do.wav" … "11si.wav"); empty when the
// pitch is out of range.
QString noteFileName(int pitch);

// Sub-folder of a timbre holding an octave's recordings ("little", "first",
// "second"); empty when the octave is out of range.
QString octaveFolderName(int octave);

// The same for the five octaves the recordings cover, the great octave below
// the keyboard ("great", 3) and the third above it ("third", 7) included.
QString recordedOctaveFolderName(int octave);

// The octave as the pages name it, to go before "октавы": "малой", "первой",
// "второй"; empty when the octave is out of range.
QString octaveWord(int octave);

} // namespace nk
