#pragma once

#include <QtGlobal>
#include <optional>

namespace nk {

// A key of the on-screen keyboard: octave 4..6 (small, first, second) and
// pitch class 0..11 (ДО..СИ).
struct KeyPosition
{
    int octave;
    quint8 pitch;
};

// The picture's key a MIDI note number plays (60 is the first octave's ДО);
// nothing for notes outside the picture's three octaves.
std::optional<KeyPosition> keyForMidiNote(int note);

} // namespace nk
