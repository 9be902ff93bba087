#include "midi/rtmidisystem.h"

#include "course/socketprobe.h"
#include "midi/logging.h"

#include <QFile>
#include <RtMidi.h>
#include <jack/jack.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace nk {

namespace {

const char *const SequencerDevice = "/dev/snd/seq";

void jackChatter(const char *text)
{
    qCDebug(lcMidi, "JACK: %s", text);
}

// libjack prints every failed connection to the console; the program says
// what matters itself.
void quietJack()
{
    static const bool done = [] {
        jack_set_error_function(&jackChatter);
        jack_set_info_function(&jackChatter);
        return true;
    }();
    Q_UNUSED(done);
}

// Where a JACK server of this user listens. A name may also come from the
// environment, as libjack takes it.
QString jackSocketPath()
{
    QString server = qEnvironmentVariable("JACK_DEFAULT_SERVER");
    if (server.isEmpty())
        server = QStringLiteral("default");
    return QStringLiteral("/dev/shm/jack_%1_%2_0").arg(server).arg(::getuid());
}

// Whether a server answers at its socket, asked without libjack. libjack
// guards its shared registry and metadata with locks that a process killed
// inside them never gives back, after which every libjack call on the machine
// hangs; the program goes near libjack only where a server really runs.
bool jackSocketAnswers()
{
    return SocketProbe::answers(QFile::encodeName(jackSocketPath()));
}

// A server started anew makes its socket anew: its change time differs even
// where the file's number is reused.
QByteArray jackServerIdentity()
{
    struct stat st
    {
    };
    if (!jackSocketAnswers() || ::stat(QFile::encodeName(jackSocketPath()).constData(), &st) != 0)
        return {};
    return QByteArray::number(quint64(st.st_ino)) + ':' +
           QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.' +
           QByteArray::number(qint64(st.st_ctim.tv_nsec));
}

bool jackServerRuns(const std::string &name)
{
    if (!jackSocketAnswers())
        return false;
    quietJack();
    jack_status_t status{};
    // Never start a server: a learner without JACK must not get one.
    jack_client_t *client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

RtMidi::Api apiOf(MidiSystem::Kind kind)
{
    return kind == MidiSystem::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

void libraryError(RtMidiError::Type type, const std::string &text, void *system)
{
    static_cast<RtMidiSystem *>(system)->reportError(type == RtMidiError::DEBUG_WARNING, text);
}

} // namespace

RtMidiSystem::RtMidiSystem(Kind kind, const QString &name, Callback callback, void *userData)
    : m_kind(kind), m_name(name.toStdString()), m_callback(callback), m_userData(userData)
{
}

// Ports close (and their threads end) before the receiver can go away.
RtMidiSystem::~RtMidiSystem()
{
    m_sources.clear();
    m_port.reset();
    if (m_watch)
        jack_client_close(m_watch);
}

bool RtMidiSystem::running(Kind kind)
{
    if (kind == Alsa)
        return QFile::exists(QString::fromLatin1(SequencerDevice));
    return jackServerRuns("Нотоклюв-probe");
}

std::unique_ptr<MidiSystem> RtMidiSystem::open(Kind kind, const QString &name, Callback callback,
                                               void *userData)
{
    std::unique_ptr<RtMidiSystem> system(new RtMidiSystem(kind, name, callback, userData));
    try {
        system->m_port = system->makeInput();
        system->m_port->openVirtualPort(system->m_name);
    } catch (const RtMidiError &error) {
        qCWarning(lcMidi, "%s refused the MIDI input port: %s", qPrintable(system->name()),
                  error.what());
        return nullptr;
    }
    if (system->m_refused)
        return nullptr;
    if (kind == Jack) {
        system->m_server = jackServerIdentity();
        jack_status_t status{};
        system->m_watch =
            jack_client_open((system->m_name + "-watch").c_str(), JackNoStartServer, &status);
    }
    return system;
}

std::unique_ptr<RtMidiIn> RtMidiSystem::makeInput()
{
    auto input = std::make_unique<RtMidiIn>(apiOf(m_kind), m_name);
    input->setErrorCallback(&libraryError, this);
    // Only notes matter: system exclusive, clock and active sensing never reach the program.
    input->ignoreTypes(true, true, true);
    input->setCallback(m_callback, m_userData);
    return input;
}

void RtMidiSystem::reportError(bool debugNote, const std::string &text)
{
    if (debugNote) {
        qCDebug(lcMidi, "%s: %s", qPrintable(name()), text.c_str());
        return;
    }
    qCWarning(lcMidi, "%s: %s", qPrintable(name()), text.c_str());
    m_refused = true;
}

QString RtMidiSystem::name() const
{
    return m_kind == Alsa ? QStringLiteral("ALSA") : QStringLiteral("JACK");
}

bool RtMidiSystem::isOwn(const std::string &source) const
{
    return source.rfind(m_name + ':', 0) == 0;
}

bool RtMidiSystem::stillThere() const
{
    return m_kind == Alsa || jackServerIdentity() == m_server;
}

// A keyboard unplugged and plugged in again between two checks has the same
// name and no connection: what counts is the connection itself.
void RtMidiSystem::forgetDisconnected()
{
    if (!m_watch)
        return;
    std::set<std::string> connected;
    const char **own = jack_get_ports(m_watch, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    for (const char **port = own; port && *port; ++port) {
        if (!isOwn(*port))
            continue;
        const char **sources =
            jack_port_get_all_connections(m_watch, jack_port_by_name(m_watch, *port));
        for (const char **source = sources; source && *source; ++source)
            connected.insert(*source);
        jack_free(sources);
    }
    jack_free(own);
    std::erase_if(m_sources, [&connected](const auto &s) { return !connected.contains(s.first); });
}

QStringList RtMidiSystem::connectNewSources()
{
    forgetDisconnected();
    std::set<std::string> present;
    QStringList added;
    const unsigned count = m_port->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        const std::string source = m_port->getPortName(i);
        // The pass-through port would hand back whatever the program sends.
        if (source.empty() || isOwn(source) || source.find("Midi Through") != std::string::npos)
            continue;
        present.insert(source);
        if (!m_sources.contains(source) && connectSource(i, source))
            added.append(QString::fromStdString(source));
    }
    // A source unplugged is forgotten, so it is connected again when it returns.
    std::erase_if(m_sources, [&present](const auto &s) { return !present.contains(s.first); });
    return added;
}

bool RtMidiSystem::connectSource(unsigned index, const std::string &source)
{
    m_refused = false;
    if (!m_port->isPortOpen() || m_kind == Jack) {
        // JACK connects one port to any number of sources.
        m_port->openPort(index, m_name);
        if (!m_refused) {
            m_sources.emplace(source, nullptr);
            return true;
        }
    }
    // The ALSA side of the library takes one connection per port: another
    // port of the same name serves each further source.
    try {
        m_refused = false;
        std::unique_ptr<RtMidiIn> own = makeInput();
        own->openPort(index, m_name);
        if (m_refused)
            return false;
        m_sources.emplace(source, std::move(own));
        return true;
    } catch (const RtMidiError &error) {
        qCWarning(lcMidi, "%s: %s", qPrintable(name()), error.what());
        return false;
    }
}

QStringList RtMidiSystem::sources() const
{
    QStringList names;
    for (const auto &s : m_sources)
        names.append(QString::fromStdString(s.first));
    return names;
}

} // namespace nk

// The program finds this in the device plug-in; test programs link it in.
extern "C" const nk::MidiBackend *nk_builtin_midi()
{
    static const nk::MidiBackend backend{&nk::RtMidiSystem::running, &nk::RtMidiSystem::open};
    return &backend;
}
