#include "soundserver.h"

#include "privatepulse.h"

#include <cstring>

namespace nk::bench {

SoundServer::SoundServer() = default;
SoundServer::~SoundServer() = default;

bool SoundServer::wantedBy(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-sound") == 0)
            return false;
    }
    return true;
}

bool SoundServer::start(bool withServer, QString *error)
{
    if (!withServer) {
        // A server address that leads nowhere: no running server is found or spawned.
        qputenv("PULSE_SERVER", "unix:/nonexistent/notoklyuv-bench/native");
        return true;
    }
    if (const QString missing = testkit::PrivatePulse::missingTools(); !missing.isEmpty()) {
        *error = missing;
        return false;
    }
    m_pulse = std::make_unique<testkit::PrivatePulse>();
    return m_pulse->start(error);
}

QString SoundServer::description() const
{
    return m_pulse ? QStringLiteral("a private PulseAudio null sink")
                   : QStringLiteral("no sound server");
}

} // namespace nk::bench
