#pragma once

#include <QString>
#include <memory>

namespace nk::testkit {
class PrivatePulse;
}

namespace nk::bench {

// The sound output a measured run plays to: a private PulseAudio server with a
// null sink, or none at all (the program then plays silently). Must be chosen
// before anything of the sound output is created.
class SoundServer
{
public:
    SoundServer();
    ~SoundServer();

    // "--no-sound" among the arguments chooses none.
    static bool wantedBy(int argc, char **argv);

    bool start(bool withServer, QString *error);
    QString description() const;

private:
    std::unique_ptr<testkit::PrivatePulse> m_pulse;
};

} // namespace nk::bench
