#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace nk {

// The program's input port on one MIDI system (the ALSA sequencer or a JACK
// server), and its connections to the other programs' and the hardware's
// output ports there. Messages arrive on the MIDI library's own thread. The
// MIDI libraries themselves live in the device plug-in (see DevicePlugin):
// without it no system runs.
class MidiSystem
{
public:
    enum Kind
    {
        Alsa,
        Jack
    };
    // The library's own: called on its thread.
    using Callback = void (*)(double delta, std::vector<unsigned char> *message, void *userData);

    virtual ~MidiSystem() = default;

    // Whether the system runs, asked without starting it and without a word
    // on the console.
    static bool running(Kind kind);
    // The port, open under `name` and delivering to `callback`; nothing if
    // the system refused it.
    static std::unique_ptr<MidiSystem> open(Kind kind, const QString &name, Callback callback,
                                            void *userData);

    virtual QString name() const = 0;
    // False once the system's server has gone or was started anew: its ports
    // here are dead, and the system must be opened again.
    virtual bool stillThere() const = 0;
    // Connects the port to every source not connected yet; returns the new ones.
    virtual QStringList connectNewSources() = 0;
    virtual QStringList sources() const = 0;
};

// running() and open() of the systems the MIDI libraries drive.
struct MidiBackend
{
    bool (*running)(MidiSystem::Kind kind);
    std::unique_ptr<MidiSystem> (*open)(MidiSystem::Kind kind, const QString &name,
                                        MidiSystem::Callback callback, void *userData);
};

} // namespace nk
