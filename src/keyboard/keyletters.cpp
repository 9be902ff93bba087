#include "keyboard/keyletters.h"

#include "audio/notenames.h"
#include "keyboard/keyboardlayout.h"
#include "keyboard/keymap.h"
#include "widgets/fonts.h"

#include <QImage>
#include <QPainter>

namespace nk {

namespace {

// Letters sit low on the black keys and just above the syllables on the white
// ones, where a finger does not cover them on the picture.
constexpr int BlackLetterTop = 86;
constexpr int WhiteLetterTop = 116;
constexpr int LetterHeight = 18;
constexpr std::array<int, 12> WhiteIndex = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
constexpr std::array<int, 12> BlackIndex = {-1, 0, -1, 1, -1, -1, 2, -1, 3, -1, 4, -1};

QRect letterBox(KeyPosition key)
{
    const int octaveIndex = key.octave - KeyboardLayout::LowOctave;
    if (isBlackKey(key.pitch)) {
        const PixelSpan fill =
            KeyboardLayout::BlackFills[std::size_t(5 * octaveIndex + BlackIndex[key.pitch])];
        return QRect(fill.first, BlackLetterTop, fill.last - fill.first + 1, LetterHeight);
    }
    const auto k = std::size_t(7 * octaveIndex + WhiteIndex[key.pitch]);
    const int left = KeyboardLayout::Separators[k];
    return QRect(left + 1, WhiteLetterTop, KeyboardLayout::Separators[k + 1] - left - 1,
                 LetterHeight);
}

} // namespace

void KeyLetters::draw(QImage &picture, int chosenOctave)
{
    QPainter painter(&picture);
    painter.setFont(Fonts::arial(13, true));
    for (int octave = KeyboardLayout::LowOctave; octave <= KeyboardLayout::HighOctave; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            const KeyPosition key{octave, quint8(pitch)};
            const QString letter = KeyMap::letterFor(key, chosenOctave);
            if (letter.isEmpty())
                continue;
            painter.setPen(isBlackKey(pitch) ? Qt::white : QColor(0x33, 0x33, 0x99));
            painter.drawText(letterBox(key), Qt::AlignCenter, letter);
        }
    }
}

} // namespace nk
