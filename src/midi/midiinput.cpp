#include "midi/midiinput.h"

#include "keyboard/keymap.h"
#include "midi/logging.h"
#include "midi/midisystem.h"

#include <chrono>

namespace nk {

namespace {

// A note-on with a velocity; a note-on with velocity 0 is a note-off.
std::optional<KeyPosition> struckKey(const std::vector<unsigned char> &message)
{
    if (message.size() < 3 || (message[0] & 0xF0) != 0x90 || message[2] == 0)
        return std::nullopt;
    return keyForMidiNote(message[1]);
}

} // namespace

MidiInput::MidiInput(QObject *parent) : QObject(parent)
{
    m_check.setInterval(DefaultCheckMs);
    connect(&m_check, &QTimer::timeout, this, &MidiInput::check);
}

MidiInput::~MidiInput()
{
    // The ports' threads end here, before anything they deliver to is gone.
    m_systems.clear();
}

void MidiInput::setCheckInterval(int ms)
{
    m_check.setInterval(ms);
}

void MidiInput::start()
{
    if (std::exchange(m_started, true))
        return;
    check();
    if (m_systems.empty())
        qCInfo(lcMidi, "No MIDI system runs (no ALSA sequencer, no JACK server): MIDI keyboards "
                       "will be listened to once one starts");
    m_check.start();
}

void MidiInput::check()
{
    // A server restarted under the program is joined again, as a new one.
    // The ports on the one that went cannot be closed: libjack crashes
    // closing a client whose server has gone. They are left for the rest of
    // the run, reachable, their threads waiting on a dead socket.
    static auto *const gone = new std::vector<std::unique_ptr<MidiSystem>>;
    for (auto it = m_systems.begin(); it != m_systems.end();) {
        if ((*it)->stillThere()) {
            ++it;
            continue;
        }
        qCInfo(lcMidi, "%s went away: listening again once it runs", qPrintable((*it)->name()));
        gone->push_back(std::move(*it));
        it = m_systems.erase(it);
    }
    for (System system : {Alsa, Jack})
        openSystem(system);
    for (const auto &system : m_systems) {
        for (const QString &source : system->connectNewSources())
            qCInfo(lcMidi, "%s: listening to %s", qPrintable(system->name()), qPrintable(source));
    }
}

void MidiInput::openSystem(System system)
{
    const MidiSystem::Kind kind = system == Alsa ? MidiSystem::Alsa : MidiSystem::Jack;
    const QString name = kind == MidiSystem::Alsa ? QStringLiteral("ALSA") : QStringLiteral("JACK");
    if (!m_wanted.testFlag(system) || openSystems().contains(name) || !MidiSystem::running(kind))
        return;
    if (auto opened = MidiSystem::open(kind, portName(), &MidiInput::received, this)) {
        qCInfo(lcMidi, "MIDI input port \"%s\" open on %s", qPrintable(portName()),
               qPrintable(name));
        m_systems.push_back(std::move(opened));
    }
}

// On the MIDI library's thread: only the stamp, the echo check and a queued
// call happen here.
void MidiInput::received(double, std::vector<unsigned char> *message, void *self)
{
    auto *input = static_cast<MidiInput *>(self);
    const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count();
    input->m_lastArrival = now;
    const std::optional<KeyPosition> key = struckKey(*message);
    if (key && !input->isEcho((*message)[1], now)) {
        QMetaObject::invokeMethod(
            input, [input, k = *key] { Q_EMIT input->notePressed(k.octave, k.pitch); },
            Qt::QueuedConnection);
    }
}

bool MidiInput::isEcho(int note, qint64 ns)
{
    const std::lock_guard lock(m_strokesLock);
    qint64 &last = m_struckAt[std::size_t(note & 0x7F)];
    if (last != 0 && ns - last < EchoNs)
        return true;
    last = ns;
    return false;
}

QStringList MidiInput::openSystems() const
{
    QStringList names;
    for (const auto &system : m_systems)
        names.append(system->name());
    return names;
}

QStringList MidiInput::connectedSources() const
{
    QStringList names;
    for (const auto &system : m_systems) {
        for (const QString &source : system->sources())
            names.append(system->name() + QStringLiteral(": ") + source);
    }
    return names;
}

} // namespace nk
