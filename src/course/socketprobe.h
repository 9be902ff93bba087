#pragma once

#include <QByteArray>

namespace nk {

// Whether a server listens at a local (Unix) socket, asked with a plain
// non-blocking connect: cheap, and it never waits for an answer. A sound or
// MIDI server's library is only called once its socket answers, since those
// libraries can block or hang where no server runs.
class SocketProbe
{
public:
    static bool answers(const QByteArray &path);
};

} // namespace nk
