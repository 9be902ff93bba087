#include "audio/sharedmix.h"

namespace nk {

bool SharedMix::restartWith(std::shared_ptr<const PcmClip> clip)
{
    QMutexLocker lock(&m_mutex);
    if (!clip && m_mixer.idle())
        return false;
    m_mixer.clear();
    if (clip)
        m_mixer.start(std::move(clip));
    m_restart = true;
    return true;
}

bool SharedMix::takeRestart()
{
    QMutexLocker lock(&m_mutex);
    return std::exchange(m_restart, false);
}

bool SharedMix::pullForStream(qint16 *out, qsizetype frames, bool *idle)
{
    QMutexLocker lock(&m_mutex);
    if (m_restart)
        return false;
    m_mixer.pull(out, frames);
    *idle = m_mixer.idle();
    return true;
}

bool SharedMix::idle() const
{
    QMutexLocker lock(&m_mutex);
    return m_mixer.idle();
}

void SharedMix::clear()
{
    QMutexLocker lock(&m_mutex);
    m_mixer.clear();
}

} // namespace nk
