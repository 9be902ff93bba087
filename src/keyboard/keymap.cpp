#include "keyboard/keymap.h"

namespace nk {

namespace {

constexpr int LowestNote = 48;  // the small octave's ДО
constexpr int HighestNote = 83; // the second octave's СИ

} // namespace

std::optional<KeyPosition> keyForMidiNote(int note)
{
    if (note < LowestNote || note > HighestNote)
        return std::nullopt;
    // MIDI counts octaves from C-1 as 0, which puts the first octave's ДО in octave 5.
    return KeyPosition{note / 12, quint8(note % 12)};
}

} // namespace nk
