#include "audio/soundoutput.h"

#include "audio/logging.h"
#include "course/deviceplugin.h"

#include <QThread>

// Linked into test programs; the program itself takes the plug-in's.
extern "C" __attribute__((weak)) nk::SoundSinkMaker nk_builtin_sound_sink();

namespace nk {

namespace {

// The thread only ever waits for the sound server; a server that hangs must
// not hang the program's exit.
constexpr int joinTimeoutMs = 3000;

} // namespace

SoundOutput::SoundOutput(SoundTiming timing, QObject *parent)
    : QObject(parent), m_mix(std::make_shared<SharedMix>(Channels)), m_thread(new QThread),
      m_sink(makeSink(timing, m_mix))
{
    m_thread->setObjectName(QStringLiteral("sound output"));
    if (!m_sink) {
        // Said once the window listens, as a sound server gone would be.
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT silenced(QStringLiteral("программа установлена не полностью")); },
            Qt::QueuedConnection);
        return;
    }
    QObject *feeder = m_sink->object();
    feeder->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, feeder, &QObject::deleteLater);
    // By name: the sink's class may live in the plug-in, with a meta-object of its own.
    connect(feeder, SIGNAL(silenced(QString)), this, SIGNAL(silenced(QString)),
            Qt::QueuedConnection);
    connect(feeder, SIGNAL(audible()), this, SIGNAL(audible()), Qt::QueuedConnection);
    m_thread->start();
    wakeFeeder();
}

SoundSink *SoundOutput::makeSink(SoundTiming timing, std::shared_ptr<SharedMix> mix)
{
    const SoundSinkMaker make = DevicePlugin::pick(nk_builtin_sound_sink, "nk_plugin_sound_sink");
    return make ? make(timing, std::move(mix)) : nullptr;
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
    if (m_sink)
        QMetaObject::invokeMethod(
            m_sink->object(), [sink = m_sink] { sink->wake(); }, Qt::QueuedConnection);
}

} // namespace nk
