#pragma once

#include <QImage>

namespace nk::keyboardgen {

// Draws the three-octave keyboard picture. Inside the frame only the two
// resting key colours, the grey lines and the lettering's one ink occur, so a
// surface fill started in a key covers exactly that key.
class KeyboardDrawing
{
public:
    static QImage draw();

    static constexpr QRgb Background = qRgb(0xEC, 0xE9, 0xE2);
    static constexpr QRgb Line = qRgb(0x80, 0x80, 0x80);
    static constexpr QRgb Ink = qRgb(0x33, 0x33, 0x99);
};

} // namespace nk::keyboardgen
