// Key press on the keyboard picture to the first non-silent sample at a
// private null sink, and the time of one key colouring.
//
// The press is a real mouse event sent to the picture label, handled as the
// program handles it: hit test, release of the previous key, the note, the
// green fill and the label update. The sink's monitor is recorded and every
// delivery stamped; a sample's time is bounded by the least delayed delivery
// that held it, so the latency includes the recorder's own smallest delay.

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "benchmain.h"
#include "figures.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "recordedsink.h"
#include "widgets/clicklabel.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/windowcontrols.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace nk;
using namespace nk::bench;

namespace {

constexpr int warmUpPresses = 5;
constexpr int measuredPresses = 60;

class BenchWindow : public QWidget, public WindowControls
{
public:
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

// Everything a key press goes through in the program.
struct Board
{
    explicit Board(const QString &base)
        : player(BasePath(base)), timers(&window), page(&window, window, BasePath(base)),
          keyboard(Keyboard::State{settings, allowed, errors, notesA, notesB}, player, timers, page)
    {
        allowed.LowOctave = 4;
        allowed.HighOctave = 6;
        allowed.HighPitch = 11;
        picture = new ClickLabel(&window);
        picture->setGeometry(0, 380, KeyboardLayout::Width, KeyboardLayout::Height);
        keyboard.setPictureLabel(picture);
        QObject::connect(picture, &ClickLabel::pressed, [this](QPoint pos, Qt::MouseButton b) {
            keyboard.imgKeyboardMouseDown(pos, b);
        });
        timers.setAction(6, [this] {
            keyboard.ReleaseAllKeys();
            settings.HighlightPending = false;
        });
    }

    void press(QPoint at)
    {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), picture->mapToGlobal(QPointF(at)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(picture, &event);
    }

    TGlobalSettings settings;
    TAllowed allowed;
    TErrorSet errors;
    NoteArray notesA{};
    NoteArray notesB{};
    BenchWindow window;
    NotePlayer player;
    OneShotTimers timers;
    Page page;
    Keyboard keyboard;
    ClickLabel *picture = nullptr;
};

// Milliseconds from the press event to the first sound, or nothing if none came.
std::optional<double> pressToSound(Board &board, RecordedSink &sink, KeyId key)
{
    const QPoint at = KeyboardLayout::seed(key.octave, key.pitch);
    return sink.timeToSound([&] { board.press(at); });
}

std::vector<double> paintTimes(Keyboard &keyboard)
{
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < 2 * measuredPresses; ++i) {
        const int octave = 4 + i / 12 % 3;
        const auto pitch = quint8(i % 12);
        for (int mode : {1, 2}) {
            clock.start();
            keyboard.PaintKey(pitch, octave, mode);
            times.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
    }
    return times;
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    RecordedSink sink;
    QString error;
    if (!sink.start(&error))
        return fail(error);
    QTemporaryDir base;
    if (!RecordedSink::writeToneNotes(base.path()))
        return fail(QStringLiteral("cannot write the note files"));
    Board board(base.path());
    WaitMs(1000); // let the 36 notes decode: a key press comes long after start-up

    std::vector<double> latencies;
    for (int i = 0; i < warmUpPresses + measuredPresses; ++i) {
        const int note = i * 7 % 36;
        const std::optional<double> ms = pressToSound(board, sink, {4 + note / 12, note % 12});
        if (!ms)
            return fail(QStringLiteral("press %1 never reached the sink").arg(i));
        if (i >= warmUpPresses)
            latencies.push_back(*ms);
    }
    Figures::printSpread("Key press on the picture to first sample at the sink", "presses",
                         latencies, 3);
    Figures::printSpread("PaintKey (fill and label update), light and release", "colourings",
                         paintTimes(board.keyboard), 3);
    return 0;
}
