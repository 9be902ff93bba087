#include "keyboardrig.h"

#include <QLoggingCategory>

namespace nk::test {

// The rig has no note files: every press would report the missing sound.
bool KeyboardRig::silenceMissingSounds()
{
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    return true;
}

KeyboardRig::KeyboardRig()
    : player(BasePath(dir.path())), timers(&window), page(&window, window, BasePath(dir.path())),
      keyboard(Keyboard::State{settings, allowed, errors, notesA, notesB}, player, timers, page)
{
    allowed.LowOctave = 4;
    allowed.HighOctave = 6;
    allowed.LowPitch = 0;
    allowed.HighPitch = 11;
    allowed.MarkOctave = 5;
    allowed.AnswerPos = 1;
    allowed.AnswerLen = 1;
    timers.setAction(6, [this] {
        keyboard.ReleaseAllKeys();
        settings.HighlightPending = false;
    });
}

QRgb KeyboardRig::keyColour(int octave, int pitch) const
{
    return colourAt(keyboard.picture(), KeyboardLayout::seed(octave, pitch));
}

QPoint KeyboardRig::lowerPoint(int octave, int pitch)
{
    const QPoint seed = KeyboardLayout::seed(octave, pitch);
    if (pitch == 1 || pitch == 3 || pitch == 6 || pitch == 8 || pitch == 10)
        return {seed.x(), 100};
    // The white band names each white key over its whole lower part.
    for (int x = KeyboardLayout::FrameLeft; x <= KeyboardLayout::FrameRight; ++x) {
        const KeyId key = KeyboardLayout::keyAt(x, 130);
        if (key == KeyId{octave, pitch})
            return {x + 6, 130};
    }
    return {};
}

void KeyboardRig::click(int octave, int pitch)
{
    const QPoint seed = KeyboardLayout::seed(octave, pitch);
    keyboard.imgKeyboardMouseDown(seed, Qt::LeftButton);
}

} // namespace nk::test
