// From a key press reaching the program to the first non-silent sample at a
// private PulseAudio null sink, for each way of pressing a key: a click on the
// keyboard picture, a key of the computer keyboard, a key of a MIDI keyboard.
//
// The real window over a copy of the program folder (its notes replaced by
// short tones, so that each press starts from silence) runs as the program
// runs it, its MIDI input on a private JACK server. Where the press reaches
// the program:
// - click: the mouse event sent to the picture;
// - computer keyboard: the key event (with the physical key's X11 scan code)
//   sent to the window;
// - MIDI: the message's arrival in the MIDI library's callback, on its thread.
//   The time before that, from the sender to the callback, is the JACK
//   server's (a MIDI event waits for the next period, 256 frames at 48 kHz
//   here), and is printed apart.

#include "app/coursepages.h"
#include "audio/waitms.h"
#include "benchmain.h"
#include "benchwindow.h"
#include "figures.h"
#include "jackserver.h"
#include "midi/midiinput.h"
#include "midikeys.h"
#include "programcopy.h"
#include "recordedsink.h"

#include <QApplication>
#include <QKeyEvent>
#include <array>
#include <chrono>
#include <cstdio>

using namespace nk;
using namespace nk::bench;

namespace {

constexpr int warmUpPresses = 5;
constexpr int measuredPresses = 50;

qint64 steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Key
{
    int octave;
    int pitch;
};

Key keyOf(int press)
{
    const int note = press * 7 % 36;
    return {4 + note / 12, note % 12};
}

// The computer keys' two rows play the first and the second octave (the first
// is chosen at start), ДО to СИ; X11 scan codes.
constexpr std::array<quint32, 24> ScanCodes = {52, 39, 53, 40, 54, 55, 42, 56, 43, 57, 44, 58,
                                               24, 11, 25, 12, 26, 27, 14, 28, 15, 29, 16, 30};

void typeKey(QWidget &window, Key key)
{
    const quint32 code =
        ScanCodes[std::size_t(12 * (std::clamp(key.octave, 5, 6) - 5) + key.pitch)];
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, code, 0, 0);
    QApplication::sendEvent(&window, &press);
}

// One figure per press, from the press reaching the program to sound; empty
// when a press never sounded.
using Press = std::function<std::optional<double>(RecordedSink &, Key)>;

std::vector<double> measure(RecordedSink &sink, const Press &press)
{
    std::vector<double> times;
    for (int i = 0; i < warmUpPresses + measuredPresses; ++i) {
        const std::optional<double> ms = press(sink, keyOf(i));
        if (!ms)
            return {};
        if (i >= warmUpPresses)
            times.push_back(*ms);
    }
    return times;
}

// The level page lets every key respond; the panel is opened so the keys are
// where a learner can press them.
void openKeyboard(BenchWindow &window)
{
    window.form().course().ShowLevelPage(1);
    window.form().state().Settings.KeyboardShown = false;
    window.form().SlideKeyboard();
}

// Keys other than clicks play only while an answer is collected: each press
// is the first note of an answer too long to be judged.
void collect(GlobalState &state)
{
    state.Allowed.Collecting = true;
    state.Allowed.AnswerPos = 1;
    state.Allowed.AnswerLen = 36;
}

bool connected(const MidiInput &midi)
{
    for (const QString &source : midi.connectedSources()) {
        if (source.startsWith(test::MidiKeys::sourceName(test::MidiKeys::Jack)))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    RecordedSink sink;
    test::JackServer jack;
    ProgramCopy program;
    test::MidiKeys keys;
    QString error;
    if (!sink.start(&error) || !jack.start(&error) || !program.make(&error) ||
        !keys.open(test::MidiKeys::Jack, &error))
        return fail(error);
    if (!RecordedSink::writeToneNotes(program.path()))
        return fail(QStringLiteral("cannot write the note files"));
    BenchWindow window(program.path());
    MidiInput &midi = window.form().state().midi;
    if (!BenchWindow::waitFor([&midi] { return connected(midi); }, 10000))
        return fail(QStringLiteral("the program's MIDI input never reached the test keyboard"));
    openKeyboard(window);
    WaitMs(1000); // let the 36 notes decode: a key press comes long after start-up

    GlobalState &state = window.form().state();
    const std::vector<double> clicks = measure(sink, [&](RecordedSink &s, Key k) {
        collect(state);
        return s.timeToSound([&] { window.pressKey(k.octave, k.pitch); });
    });
    const std::vector<double> computerKeys = measure(sink, [&](RecordedSink &s, Key k) {
        collect(state);
        k.octave = std::max(k.octave, 5); // the two rows reach the first and second octaves
        return s.timeToSound([&] { typeKey(window.form(), k); });
    });
    std::vector<double> transport;
    const std::vector<double> midiKeys = measure(sink, [&](RecordedSink &s, Key k) {
        collect(state);
        qint64 sentNs = 0;
        const std::optional<double> ms = s.timeToSound([&] {
            sentNs = steadyNowNs();
            keys.noteOn(12 * k.octave + k.pitch); // MIDI 60 is the first octave's ДО
        });
        if (!ms || midi.lastArrivalNs() < sentNs)
            return std::optional<double>();
        const double beforeArrival = double(midi.lastArrivalNs() - sentNs) / 1e6;
        transport.push_back(beforeArrival);
        return std::optional<double>(*ms - beforeArrival);
    });
    if (clicks.empty() || computerKeys.empty() || midiKeys.empty())
        return fail(QStringLiteral("a press never reached the sink"));
    Figures::printSpread("Click on the keyboard picture to first sample at the sink", "presses",
                         clicks, 2);
    Figures::printSpread("Computer key event to first sample at the sink", "presses", computerKeys,
                         2);
    Figures::printSpread("MIDI note-on, arrival in the callback to first sample", "presses",
                         midiKeys, 2);
    transport.erase(transport.begin(), transport.begin() + warmUpPresses);
    Figures::printSpread("MIDI note-on, sender to the callback (the JACK server's part)", "presses",
                         transport, 2);
    return 0;
}
