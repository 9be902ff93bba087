#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

class RtMidiIn;
struct _jack_client;

namespace nk {

// The program's input port on one MIDI system (the ALSA sequencer or a JACK
// server), and its connections to the other programs' and the hardware's
// output ports there. Messages arrive on the MIDI library's own thread.
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

    ~MidiSystem();

    // Whether the system runs, asked without starting it and without a word
    // on the console.
    static bool running(Kind kind);
    // The port, open under `name` and delivering to `callback`; nothing if
    // the system refused it.
    static std::unique_ptr<MidiSystem> open(Kind kind, const QString &name, Callback callback,
                                            void *userData);

    QString name() const;
    // False once the system's server has gone or was started anew: its ports
    // here are dead, and the system must be opened again.
    bool stillThere() const;
    // Connects the port to every source not connected yet; returns the new ones.
    QStringList connectNewSources();
    QStringList sources() const;

    // What the MIDI library reports about this system's ports; anything but a
    // debugging note means the last request was refused.
    void reportError(bool debugNote, const std::string &text);

private:
    MidiSystem(Kind kind, const QString &name, Callback callback, void *userData);
    std::unique_ptr<RtMidiIn> makeInput();
    bool connectSource(unsigned index, const std::string &source);
    bool isOwn(const std::string &source) const;
    void forgetDisconnected();

    Kind m_kind;
    std::string m_name;
    Callback m_callback;
    void *m_userData;
    std::unique_ptr<RtMidiIn> m_port;
    // Sources reached through the main port (null) or, where the system lets
    // one port take a single connection only, through a port of their own.
    std::map<std::string, std::unique_ptr<RtMidiIn>> m_sources;
    std::atomic<bool> m_refused = false; // also reported from the library's thread
    // JACK: the server met at opening, and a client of no ports of its own
    // that looks at the connections the library does not tell about.
    QByteArray m_server;
    _jack_client *m_watch = nullptr;
};

} // namespace nk
