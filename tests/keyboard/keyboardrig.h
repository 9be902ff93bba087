#pragma once

#include "audio/noteplayer.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/windowcontrols.h"

#include <QTemporaryDir>
#include <QWidget>
#include <memory>

namespace nk::test {

// A page host that ignores what pages ask of the window.
class QuietWindow : public QWidget, public WindowControls
{
public:
    QuietWindow() { resize(779, 635); }
    void EnablePartButtons() override {}
    void DisableMenu() override {}
    void EnableMenu() override {}
    void DisableAllControls() override {}
    void EnableAllControls() override {}
    bool KeyboardIsShown() const override { return true; }
    void SlideKeyboard() override {}
    void minimizeToTray() override {}
    void restoreFromTray() override {}
};

// A keyboard with the state it works on, a silent player (no note files), the
// window's timers with the colouring reset wired as the program wires it, and
// a page. Every key responds until a test narrows the range.
struct KeyboardRig
{
    KeyboardRig();

    static QRgb colourAt(const QImage &image, QPoint p) { return image.pixel(p) | 0xFF000000; }
    QRgb keyColour(int octave, int pitch) const;
    // A point in the key's wide lower part (white keys) or low in its body (black).
    static QPoint lowerPoint(int octave, int pitch);
    void click(int octave, int pitch);

    static bool silenceMissingSounds();

    bool quiet = silenceMissingSounds();
    QTemporaryDir dir;
    TGlobalSettings settings;
    TAllowed allowed;
    TErrorSet errors;
    NoteArray notesA{};
    NoteArray notesB{};
    QuietWindow window;
    NotePlayer player;
    OneShotTimers timers;
    Page page;
    Keyboard keyboard;
};

} // namespace nk::test
