#pragma once

#include "audio/pcmclip.h"

#include <memory>
#include <vector>

namespace nk {

// Adds up the voices that sound at the moment into one stream of 16-bit
// frames. Clips must already be in the mixer's channel count and rate. Not
// thread-safe: the sound output guards it.
class SoundMixer
{
public:
    explicit SoundMixer(int channels) : m_channels(channels) {}

    int channels() const { return m_channels; }

    // A new voice starting with the next pulled frame. Clips of another
    // channel count are refused. Beyond MaxVoices the oldest voice is dropped.
    static constexpr qsizetype MaxVoices = 16;
    bool start(std::shared_ptr<const PcmClip> clip);

    void clear() { m_voices.clear(); }

    bool idle() const { return m_voices.empty(); }
    qsizetype voiceCount() const { return qsizetype(m_voices.size()); }

    // Fills `frames` frames: the sum of the voices, clipped to 16 bits,
    // silence where none sounds. Voices that end are dropped.
    void pull(qint16 *out, qsizetype frames);

private:
    struct Voice
    {
        std::shared_ptr<const PcmClip> clip;
        qsizetype position = 0; // next frame of the clip
    };
    // Adds up to `frames` frames of the voice; false once it has ended.
    bool addVoice(Voice &voice, qsizetype frames);

    int m_channels;
    std::vector<Voice> m_voices;
    std::vector<int> m_sum;
};

} // namespace nk
