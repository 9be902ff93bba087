#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class RtMidiOut;

namespace nk::test {

// A MIDI keyboard played by the test: an output port of its own on the ALSA
// sequencer or the running JACK server, through the same MIDI library.
class MidiKeys
{
public:
    enum Kind
    {
        Alsa,
        Jack
    };

    MidiKeys();
    ~MidiKeys();

    bool open(Kind kind, QString *error);
    // The source's name as the other side lists it.
    static QString sourceName(Kind kind);
    void send(const QByteArray &message);
    void noteOn(int note, int velocity = 100);

private:
    std::unique_ptr<RtMidiOut> m_out;
};

} // namespace nk::test
