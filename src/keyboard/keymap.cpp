#include "keyboard/keymap.h"

#include <algorithm>
#include <array>

namespace nk {

namespace {

// One physical key: its letter and its codes on each platform.
struct PhysicalKey
{
    char16_t letter;
    quint32 x11;
    quint32 windows;
};

// Each row from ДО to СИ, white and black keys as they alternate on a piano.
constexpr std::array<PhysicalKey, 12> LowerRow = {{{u'Z', 52, 0x2C},
                                                   {u'S', 39, 0x1F},
                                                   {u'X', 53, 0x2D},
                                                   {u'D', 40, 0x20},
                                                   {u'C', 54, 0x2E},
                                                   {u'V', 55, 0x2F},
                                                   {u'G', 42, 0x22},
                                                   {u'B', 56, 0x30},
                                                   {u'H', 43, 0x23},
                                                   {u'N', 57, 0x31},
                                                   {u'J', 44, 0x24},
                                                   {u'M', 58, 0x32}}};
constexpr std::array<PhysicalKey, 12> UpperRow = {{{u'Q', 24, 0x10},
                                                   {u'2', 11, 0x03},
                                                   {u'W', 25, 0x11},
                                                   {u'3', 12, 0x04},
                                                   {u'E', 26, 0x12},
                                                   {u'R', 27, 0x13},
                                                   {u'5', 14, 0x06},
                                                   {u'T', 28, 0x14},
                                                   {u'6', 15, 0x07},
                                                   {u'Y', 29, 0x15},
                                                   {u'7', 16, 0x08},
                                                   {u'U', 30, 0x16}}};
constexpr std::array<const std::array<PhysicalKey, 12> *, 2> Rows = {&LowerRow, &UpperRow};

// The arrow keys, not the keypad's: extended on Windows.
constexpr PhysicalKey LeftArrow{u'<', 113, 0x14B};
constexpr PhysicalKey RightArrow{u'>', 114, 0x14D};

quint32 codeOf(const PhysicalKey &key, KeyMap::ScanCodes codes)
{
    return codes == KeyMap::ScanCodes::Windows ? key.windows : key.x11;
}

} // namespace

std::optional<KeyMap::Action> KeyMap::actionFor(quint32 scanCode, ScanCodes codes)
{
    if (scanCode == codeOf(LeftArrow, codes))
        return Action{0, 0, -1};
    if (scanCode == codeOf(RightArrow, codes))
        return Action{0, 0, +1};
    for (int row = 0; row < int(Rows.size()); ++row) {
        const auto &keys = *Rows[std::size_t(row)];
        for (std::size_t pitch = 0; pitch < keys.size(); ++pitch) {
            if (codeOf(keys[pitch], codes) == scanCode)
                return Action{row, quint8(pitch), 0};
        }
    }
    return std::nullopt;
}

std::optional<KeyPosition> KeyMap::keyFor(quint32 scanCode, int chosenOctave, ScanCodes codes)
{
    const std::optional<Action> action = actionFor(scanCode, codes);
    if (!action || action->octaveStep != 0)
        return std::nullopt;
    const int octave = chosenOctave + action->row;
    if (octave < LowestOctave || octave > HighestOctave)
        return std::nullopt;
    return KeyPosition{octave, action->pitch};
}

QString KeyMap::letterFor(KeyPosition key, int chosenOctave)
{
    const int row = key.octave - chosenOctave;
    if (row < 0 || row >= int(Rows.size()) || key.pitch > 11)
        return {};
    return QString(QChar((*Rows[std::size_t(row)])[key.pitch].letter));
}

int KeyMap::movedOctave(int chosenOctave, int step)
{
    return std::clamp(chosenOctave + step, LowestOctave, HighestOctave);
}

std::optional<KeyPosition> keyForMidiNote(int note)
{
    // MIDI counts octaves from C-1, so note / 12 is the course's octave number.
    constexpr int lowest = 12 * KeyMap::LowestOctave;
    constexpr int highest = 12 * KeyMap::HighestOctave + 11;
    if (note < lowest || note > highest)
        return std::nullopt;
    return KeyPosition{note / 12, quint8(note % 12)};
}

} // namespace nk
