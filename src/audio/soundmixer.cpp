#include "audio/soundmixer.h"

#include <algorithm>

namespace nk {

bool SoundMixer::start(std::shared_ptr<const PcmClip> clip)
{
    if (!clip || clip->channels != m_channels)
        return false;
    if (clip->frames() == 0)
        return true;
    if (voiceCount() >= MaxVoices)
        m_voices.erase(m_voices.begin());
    m_voices.push_back(Voice{std::move(clip)});
    return true;
}

bool SoundMixer::addVoice(Voice &voice, qsizetype frames)
{
    const PcmClip &clip = *voice.clip;
    const qsizetype count = std::min(frames, clip.frames() - voice.position);
    const qint16 *in = clip.samples.data() + voice.position * m_channels;
    for (qsizetype i = 0; i < count * m_channels; ++i)
        m_sum[std::size_t(i)] += in[i];
    voice.position += count;
    return voice.position < clip.frames();
}

void SoundMixer::pull(qint16 *out, qsizetype frames)
{
    const auto samples = std::size_t(frames * m_channels);
    if (m_voices.empty()) {
        std::fill_n(out, samples, qint16(0));
        return;
    }
    m_sum.assign(samples, 0);
    std::erase_if(m_voices, [&](Voice &voice) { return !addVoice(voice, frames); });
    std::transform(m_sum.cbegin(), m_sum.cbegin() + qsizetype(samples), out,
                   [](int v) { return qint16(std::clamp(v, -32768, 32767)); });
}

} // namespace nk
