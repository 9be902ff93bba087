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
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "privatepulse.h"
#include "sinkrecorder.h"
#include "tonetools.h"
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
using namespace nk::testkit;

namespace {

constexpr int warmUpPresses = 5;
constexpr int measuredPresses = 60;
constexpr int silentBelow = 32; // the null sink is digitally silent between notes

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

bool writeNotes(const QString &base)
{
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            QString relative = NotePlayer::noteRelativePath(QStringLiteral("piano"), octave, pitch);
            relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (!writeToneWav(base + QLatin1Char('/') + relative, {noteFrequency(octave, pitch)},
                              200, 300))
                return false;
        }
    }
    return true;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = qsizetype(p * double(values.size() - 1) + 0.5);
    return values[std::size_t(std::clamp<qsizetype>(index, 0, qsizetype(values.size()) - 1))];
}

void print(const char *what, const std::vector<double> &values)
{
    std::printf("%s, %zu samples:\n  median %.3f ms, 95th percentile %.3f ms, min %.3f ms, max "
                "%.3f ms\n",
                what, values.size(), percentile(values, 0.5), percentile(values, 0.95),
                *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end()));
}

int fail(const QString &why)
{
    std::fprintf(stderr, "bench_keyboard: %s\n", qPrintable(why));
    return 1;
}

// Milliseconds from the press event to the first sound, or NaN if none came (a very short one can
// come out slightly negative: the null sink renders ahead in blocks).
double pressToSound(Board &board, SinkRecorder &recorder, KeyId key)
{
    const qsizetype from = recorder.sampleCount();
    const QPoint at = KeyboardLayout::seed(key.octave, key.pitch);
    const qint64 pressedAt = recorder.nowNs();
    board.press(at);
    WaitMs(500);
    recorder.waitForSamples(from + SampleRate / 2);
    const qsizetype onset = firstLoudSample(recorder.samples(), from, silentBelow);
    if (onset < 0)
        return std::nan("");
    return double(recorder.sampleTimeNs(onset) - pressedAt) / 1e6;
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const QString missing = PrivatePulse::missingTools(); !missing.isEmpty())
        return fail(missing);
    PrivatePulse pulse;
    QString error;
    if (!pulse.start(&error))
        return fail(error);
    QTemporaryDir base;
    if (!writeNotes(base.path()))
        return fail(QStringLiteral("cannot write the note files"));
    SinkRecorder recorder;
    if (!recorder.start(PrivatePulse::monitorName(), &error))
        return fail(error);
    Board board(base.path());
    WaitMs(1000); // let the 36 notes decode: a key press comes long after start-up

    std::vector<double> latencies;
    for (int i = 0; i < warmUpPresses + measuredPresses; ++i) {
        const int note = i * 7 % 36;
        const double ms = pressToSound(board, recorder, {4 + note / 12, note % 12});
        if (std::isnan(ms))
            return fail(QStringLiteral("press %1 never reached the sink").arg(i));
        if (i >= warmUpPresses)
            latencies.push_back(ms);
    }
    print("Key press on the picture to first sample at the sink", latencies);
    print("PaintKey (fill and label update), light and release", paintTimes(board.keyboard));
    return 0;
}
