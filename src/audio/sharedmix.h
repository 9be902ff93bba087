#pragma once

#include "audio/soundmixer.h"

#include <QMutex>
#include <atomic>
#include <memory>

namespace nk {

// What the program's thread and the sound thread share: the mixer and the
// request for a fresh stream. A new sound and the request for a fresh stream
// are one step, and the feeder never pours a new sound into a stream that is
// about to be dropped: else the start of a note would be dropped with it.
class SharedMix
{
public:
    explicit SharedMix(int channels) : m_mixer(channels) {}

    // The program's side. Cuts whatever sounds and starts `clip` (none: only
    // silence) in a fresh stream. False when nothing sounded and nothing new
    // starts, so there is nothing to do.
    bool restartWith(std::shared_ptr<const PcmClip> clip);

    // The feeder's side. Whether a fresh stream was asked for since the last
    // call: the stream open now must then be dropped.
    bool takeRestart();
    // Fills `frames` frames for the stream open now, unless a fresh one has
    // been asked for: then nothing is pulled and false returned. *idle tells
    // whether the mixer has run out of sound.
    bool pullForStream(qint16 *out, qsizetype frames, bool *idle);
    bool idle() const;
    void clear();

    std::atomic<int> underruns{0};
    std::atomic<int> closes{0};

private:
    mutable QMutex m_mutex; // guards the two below
    SoundMixer m_mixer;
    bool m_restart = false;
};

} // namespace nk
