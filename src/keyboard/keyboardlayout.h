#pragma once

#include <QPoint>
#include <QRgb>
#include <array>

// Header-only on purpose: the tool that draws the keyboard picture includes it
// too, so the drawing, the hit test and the colouring share one set of numbers.

namespace nk {

struct KeyId
{
    int octave = 0;
    int pitch = 0;
    friend constexpr bool operator==(const KeyId &, const KeyId &) = default;
};

// An inclusive run of pixel columns.
struct PixelSpan
{
    int first = 0;
    int last = 0;
};

// The geometry and colours of the keyboard picture: 21 white and 15 black keys
// over three octaves (4 small, 5 first, 6 second).
class KeyboardLayout
{
public:
    static constexpr int Width = 780;
    static constexpr int Height = 251;

    static constexpr int FrameLeft = 7;
    static constexpr int FrameRight = 773;
    static constexpr int FrameTop = 5;
    static constexpr int FrameBottom = 159;
    // A click just under the bottom line still counts.
    static constexpr int ClickBottom = 160;

    static constexpr int BlackTop = 6;
    static constexpr int BlackBottom = 109;
    static constexpr int BlackOutline = 110;
    // Clicks down to here are looked up in the black-key band.
    static constexpr int BlackBandBottom = 111;

    static constexpr int LowOctave = 4;
    static constexpr int HighOctave = 6;
    static constexpr int KeyCount = 36;

    static constexpr QRgb White = qRgb(0xFF, 0xFF, 0xFF);
    static constexpr QRgb Black = qRgb(0x24, 0x21, 0x1D);
    static constexpr QRgb Green = qRgb(0x84, 0xC2, 0x25);
    static constexpr QRgb Yellow = qRgb(0xFD, 0xFD, 0x72);

    // The grey lines between white keys, the frame's sides included.
    static constexpr std::array<int, 22> Separators = {7,   44,  81,  117, 153, 190, 228, 262,
                                                       299, 336, 372, 408, 445, 482, 518, 555,
                                                       591, 628, 664, 701, 739, 773};

    // Black-key fills from left to right: ДО#, РЕ#, ФА#, СОЛЬ#, ЛЯ# of each octave.
    static constexpr std::array<PixelSpan, 15> BlackFills = {{{33, 54},
                                                              {70, 91},
                                                              {142, 164},
                                                              {180, 202},
                                                              {217, 239},
                                                              {288, 309},
                                                              {325, 347},
                                                              {397, 419},
                                                              {435, 458},
                                                              {472, 494},
                                                              {543, 565},
                                                              {581, 602},
                                                              {653, 674},
                                                              {691, 713},
                                                              {728, 749}}};

    static constexpr int SeedY = 10;

    static constexpr bool hasKey(int octave, int pitch)
    {
        return octave >= LowOctave && octave <= HighOctave && pitch >= 0 && pitch <= 11;
    }

    // Where a fill of the key starts: white keys in their narrow upper part.
    static constexpr QPoint seed(int octave, int pitch)
    {
        return hasKey(octave, pitch) ? QPoint(SeedX[octave - LowOctave][pitch], SeedY) : QPoint();
    }

    static constexpr bool isClickable(int x, int y)
    {
        return x >= FrameLeft && x <= FrameRight && y >= FrameTop && y <= ClickBottom;
    }

    // The key a click names. The bands are a pixel or two off the drawn lines
    // in places; the bands, not the drawing, decide.
    static constexpr KeyId keyAt(int x, int y)
    {
        if (y <= BlackBandBottom)
            return lookUp(BlackBand, x);
        return lookUp(WhiteBand, x);
    }

private:
    static constexpr std::array<std::array<int, 12>, 3> SeedX = {{
        {20, 45, 60, 80, 100, 130, 150, 170, 190, 210, 230, 250},
        {275, 300, 320, 340, 360, 380, 410, 430, 450, 465, 485, 505},
        {530, 555, 570, 590, 615, 640, 660, 685, 700, 720, 740, 760},
    }};

    // Each entry: the last column of a key's run, and the key.
    struct BandEntry
    {
        int lastX;
        KeyId key;
    };

    template <std::size_t N>
    static constexpr KeyId lookUp(const std::array<BandEntry, N> &band, int x)
    {
        for (const BandEntry &entry : band) {
            if (x <= entry.lastX)
                return entry.key;
        }
        return band.back().key;
    }

    static constexpr std::array<BandEntry, 36> BlackBand = {{
        {32, {4, 0}},  {56, {4, 1}},  {69, {4, 2}},  {93, {4, 3}},  {117, {4, 4}},  {142, {4, 5}},
        {165, {4, 6}}, {179, {4, 7}}, {204, {4, 8}}, {217, {4, 9}}, {240, {4, 10}}, {263, {4, 11}},
        {287, {5, 0}}, {311, {5, 1}}, {324, {5, 2}}, {348, {5, 3}}, {372, {5, 4}},  {397, {5, 5}},
        {421, {5, 6}}, {435, {5, 7}}, {459, {5, 8}}, {472, {5, 9}}, {496, {5, 10}}, {518, {5, 11}},
        {543, {6, 0}}, {567, {6, 1}}, {580, {6, 2}}, {604, {6, 3}}, {628, {6, 4}},  {652, {6, 5}},
        {676, {6, 6}}, {690, {6, 7}}, {715, {6, 8}}, {727, {6, 9}}, {751, {6, 10}}, {773, {6, 11}},
    }};

    static constexpr std::array<BandEntry, 21> WhiteBand = {{
        {45, {4, 0}},   {81, {4, 2}},   {117, {4, 4}},  {153, {4, 5}}, {191, {4, 7}}, {226, {4, 9}},
        {263, {4, 11}}, {300, {5, 0}},  {336, {5, 2}},  {372, {5, 4}}, {408, {5, 5}}, {446, {5, 7}},
        {482, {5, 9}},  {518, {5, 11}}, {556, {6, 0}},  {592, {6, 2}}, {628, {6, 4}}, {664, {6, 5}},
        {701, {6, 7}},  {738, {6, 9}},  {773, {6, 11}},
    }};
};

} // namespace nk
