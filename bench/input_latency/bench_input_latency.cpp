// From a key press reaching the program to the first non-silent sample at a
// private PulseAudio null sink, for each way of pressing a key: a click on the
// keyboard picture, a key of the computer keyboard, a key of a MIDI keyboard.
//
// The real window over a copy of the program folder (its notes replaced by
// short tones, so that each press starts from silence) runs as the program
// runs it, its MIDI input on a private JACK server. Where the press reaches
// the program:
// - click: the mouse event sent to the picture;
// - computer keyboard: Keyboard::pressFromInput, the point where the key
//   handling hands over a key (the handling of the key events themselves is
//   not part of this build);
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
#include "keyboard/keyboard.h"
#include "midi/midiinput.h"
#include "midikeys.h"
#include "programcopy.h"
#include "recordedsink.h"

#include <QApplication>
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

    const std::vector<double> clicks = measure(sink, [&window](RecordedSink &s, Key k) {
        return s.timeToSound([&] { window.pressKey(k.octave, k.pitch); });
    });
    Keyboard &keyboard = window.form().keyboard();
    const std::vector<double> computerKeys = measure(sink, [&keyboard](RecordedSink &s, Key k) {
        return s.timeToSound([&] { keyboard.pressFromInput(k.octave, quint8(k.pitch)); });
    });
    std::vector<double> transport;
    const std::vector<double> midiKeys = measure(sink, [&](RecordedSink &s, Key k) {
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
    Figures::printSpread("Computer keyboard (from Keyboard::pressFromInput) to first sample",
                         "presses", computerKeys, 2);
    Figures::printSpread("MIDI note-on, arrival in the callback to first sample", "presses",
                         midiKeys, 2);
    transport.erase(transport.begin(), transport.begin() + warmUpPresses);
    Figures::printSpread("MIDI note-on, sender to the callback (the JACK server's part)", "presses",
                         transport, 2);
    return 0;
}
