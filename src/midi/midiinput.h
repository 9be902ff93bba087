#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace nk {

class MidiSystem;

// A MIDI keyboard as a way to answer: an input port named "Нотоклюв" on every
// MIDI system that runs (the ALSA sequencer, a JACK server), connected to all
// the keyboards and programs there, also those that appear later. A key struck
// inside the picture's three octaves is announced on the window's thread.
class MidiInput : public QObject
{
    Q_OBJECT
public:
    enum System
    {
        Alsa = 0x1,
        Jack = 0x2
    };
    Q_DECLARE_FLAGS(Systems, System)

    static constexpr int DefaultCheckMs = 3000;

    explicit MidiInput(QObject *parent = nullptr);
    ~MidiInput() override;

    static QString portName() { return QStringLiteral("Нотоклюв"); }

    // How often new keyboards and systems are looked for.
    void setCheckInterval(int ms);
    // Which systems to use; all by default.
    void setSystems(Systems systems) { m_wanted = systems; }

    // Opens the ports and starts looking for keyboards; once only.
    void start();
    bool isStarted() const { return m_started; }
    // The systems the port is open on ("ALSA", "JACK"), and the sources it is
    // connected to there ("JACK: keys:out").
    QStringList openSystems() const;
    QStringList connectedSources() const;
    // When the last MIDI message arrived, in nanoseconds of the monotonic
    // clock (std::chrono::steady_clock): where the program's response begins.
    qint64 lastArrivalNs() const { return m_lastArrival.load(); }

Q_SIGNALS:
    void notePressed(int octave, quint8 pitch);

private:
    // No hand strikes one key twice this fast, but a stroke can arrive twice:
    // a JACK client late for a cycle leaves its last events in its buffer to
    // be read again, and a keyboard bridged from ALSA into JACK reaches the
    // program over both systems.
    static constexpr qint64 EchoNs = 40'000'000;

    static void received(double delta, std::vector<unsigned char> *message, void *self);
    bool isEcho(int note, qint64 ns);
    void check();
    void openSystem(System system);

    Systems m_wanted = Systems(Alsa | Jack);
    std::vector<std::unique_ptr<MidiSystem>> m_systems;
    QTimer m_check;
    std::atomic<qint64> m_lastArrival = 0;
    std::mutex m_strokesLock;             // each system delivers on a thread of its own
    std::array<qint64, 128> m_struckAt{}; // nanoseconds, by note
    bool m_started = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(MidiInput::Systems)

} // namespace nk
