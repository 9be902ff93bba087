#pragma once

#include <QByteArray>
#include <QString>

namespace nk {

// Whether a PulseAudio server (or PipeWire's stand-in for one) answers at its
// socket, asked with a plain connect, which costs nothing and never waits:
// Qt's own device layer is asked only where one does. A server's identity
// tells a restarted server from the one met before, which Qt's layer stays
// tied to.
class PulseProbe
{
public:
    enum class State
    {
        Unknown, // no local socket to look at (a network server, or no runtime folder)
        Absent,  // the socket is there to look at, and nobody answers
        Answers,
    };
    struct Result
    {
        State state = State::Unknown;
        QByteArray identity; // with Answers: differs for every server started
        QString socket;
    };

    static Result probe();
    // The socket the sound library would use, or empty when it is not a local one.
    static QString socketPath();
};

} // namespace nk
