#pragma once

class QImage;

namespace nk {

// The letters of the computer keys, each drawn on the key of the picture it
// plays with the chosen octave: on the shown copy only, never on the picture
// the colouring fills, so a fill is never stopped by a letter.
class KeyLetters
{
public:
    static void draw(QImage &picture, int chosenOctave);
};

} // namespace nk
