#include "audio/soundoutput.h"

#include "audio/logging.h"

#include <QThread>

namespace nk {

namespace {

// The thread only ever waits for the sound server; a server that hangs must
// not hang the program's exit.
constexpr int joinTimeoutMs = 3000;

} // namespace

SoundOutput::SoundOutput(SoundTiming timing, QObject *parent)
    : QObject(parent), m_mix(std::make_shared<SharedMix>(Channels)), m_thread(new QThread),
      m_feeder(new SinkFeeder(timing, m_mix))
{
    m_thread->setObjectName(QStringLiteral("sound output"));
    m_feeder->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_feeder, &QObject::deleteLater);
    connect(m_feeder, &SinkFeeder::silenced, this, &SoundOutput::silenced, Qt::QueuedConnection);
    connect(m_feeder, &SinkFeeder::audible, this, &SoundOutput::audible, Qt::QueuedConnection);
    m_thread->start();
    wakeFeeder();
}

SoundOutput::~SoundOutput()
{
    m_thread->quit();
    if (m_thread->wait(joinTimeoutMs)) {
        delete m_thread;
        return;
    }
    // Leaking the thread is the lesser evil: destroying a running one aborts.
    qCWarning(lcAudio, "The sound output did not close in time");
}

void SoundOutput::play(std::shared_ptr<const PcmClip> clip)
{
    m_mix->restartWith(std::move(clip));
    wakeFeeder();
}

void SoundOutput::stopAll()
{
    if (m_mix->restartWith(nullptr))
        wakeFeeder();
}

void SoundOutput::wakeFeeder()
{
    QMetaObject::invokeMethod(m_feeder, &SinkFeeder::wake, Qt::QueuedConnection);
}

} // namespace nk
