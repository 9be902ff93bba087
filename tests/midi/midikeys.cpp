#include "midikeys.h"

#include <RtMidi.h>

namespace nk::test {

namespace {

const char *const ClientName = "nk-test-keys";
const char *const PortName = "keys";

} // namespace

MidiKeys::MidiKeys() = default;
MidiKeys::~MidiKeys() = default;

bool MidiKeys::open(Kind kind, QString *error)
{
    try {
        m_out = std::make_unique<RtMidiOut>(kind == Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK,
                                            ClientName);
        m_out->openVirtualPort(PortName);
        return true;
    } catch (const RtMidiError &e) {
        *error = QString::fromStdString(e.getMessage());
        m_out.reset();
        return false;
    }
}

QString MidiKeys::sourceName(Kind kind)
{
    const QString name = QLatin1String(ClientName) + QLatin1Char(':') + QLatin1String(PortName);
    // ALSA's side of the library adds the client and port numbers.
    return kind == Jack ? QStringLiteral("JACK: ") + name : QStringLiteral("ALSA: ") + name;
}

void MidiKeys::send(const QByteArray &message)
{
    if (m_out)
        m_out->sendMessage(reinterpret_cast<const unsigned char *>(message.constData()),
                           size_t(message.size()));
}

void MidiKeys::noteOn(int note, int velocity)
{
    const char message[] = {char(0x90), char(note), char(velocity)};
    send(QByteArray(message, sizeof message));
}

} // namespace nk::test
