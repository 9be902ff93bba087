#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace nk {

// One key of the on-screen keyboard: octave 4 (small), 5 (first) or 6 (second)
// and pitch class 0 (ДО) to 11 (СИ).
struct KeyPosition
{
    int octave = 0;
    quint8 pitch = 0;
    friend constexpr bool operator==(const KeyPosition &, const KeyPosition &) = default;
};

// The computer keyboard as a piano: two rows of keys by their physical place,
// never by the letter they type, so every layout plays the same. The lower row
// (Z S X D C V G B H N J M) plays the chosen octave, the upper row
// (Q 2 W 3 E R 5 T 6 Y 7 U) the one above it; the arrows move the choice.
class KeyMap
{
public:
    // How a platform numbers physical keys in a key event's native scan code.
    enum class ScanCodes
    {
        X11,     // X11 and Wayland keycodes (evdev + 8)
        Windows, // set 1, 0x100 marking the extended keys
    };
    static constexpr ScanCodes NativeScanCodes =
#ifdef Q_OS_WIN
        ScanCodes::Windows;
#else
        ScanCodes::X11;
#endif

    static constexpr int LowestOctave = 4;
    static constexpr int HighestOctave = 6;
    static constexpr int DefaultOctave = 5;

    // What a physical key does: a piano key of a row (0 lower, 1 upper), or a
    // move of the chosen octave by -1 or +1.
    struct Action
    {
        int row = 0;
        quint8 pitch = 0;
        int octaveStep = 0;
        friend constexpr bool operator==(const Action &, const Action &) = default;
    };

    static std::optional<Action> actionFor(quint32 scanCode, ScanCodes codes = NativeScanCodes);
    // The key a physical key plays with this octave chosen; none past the
    // picture's top or for keys that are no piano keys.
    static std::optional<KeyPosition> keyFor(quint32 scanCode, int chosenOctave,
                                             ScanCodes codes = NativeScanCodes);
    // The letter printed on the physical key that plays this key, empty when
    // no key plays it with this octave chosen.
    static QString letterFor(KeyPosition key, int chosenOctave);
    static int movedOctave(int chosenOctave, int step);
};

// A MIDI note in the picture's three octaves (48-83, 60 the first octave's ДО).
std::optional<KeyPosition> keyForMidiNote(int note);

} // namespace nk
