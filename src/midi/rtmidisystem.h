#pragma once

#include "midi/midisystem.h"

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

// MidiSystem on RtMidi (ALSA or JACK), with libjack asked directly for what
// RtMidi does not tell. Messages arrive on the MIDI library's own thread.
class RtMidiSystem : public MidiSystem
{
public:
    ~RtMidiSystem() override;

    static bool running(Kind kind);
    static std::unique_ptr<MidiSystem> open(Kind kind, const QString &name, Callback callback,
                                            void *userData);

    QString name() const override;
    bool stillThere() const override;
    QStringList connectNewSources() override;
    QStringList sources() const override;

    // What the MIDI library reports about this system's ports; anything but a
    // debugging note means the last request was refused.
    void reportError(bool debugNote, const std::string &text);

private:
    RtMidiSystem(Kind kind, const QString &name, Callback callback, void *userData);
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
