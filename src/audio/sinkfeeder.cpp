#include "audio/sinkfeeder.h"

#include "audio/logging.h"
#include "audio/pulseprobe.h"
#include "audio/pulsestream.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QTimer>

namespace nk {

namespace {

constexpr int frameBytes = SinkFeeder::Channels * int(sizeof(qint16));

QAudioFormat outputFormat()
{
    QAudioFormat format;
    format.setSampleRate(SinkFeeder::Rate);
    format.setChannelCount(SinkFeeder::Channels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

} // namespace nk

// The program finds this in the device plug-in; test programs link it in.
extern "C" nk::SoundSinkMaker nk_builtin_sound_sink()
{
    return [](nk::SoundTiming timing, std::shared_ptr<nk::SharedMix> mix) -> nk::SoundSink * {
        return new nk::SinkFeeder(timing, std::move(mix));
    };
}

namespace nk {

SinkFeeder::SinkFeeder(SoundTiming timing, std::shared_ptr<SharedMix> mix)
    : m_timing(timing), m_mix(std::move(mix)), m_tick(new QTimer(this))
{
    m_tick->setTimerType(Qt::PreciseTimer);
    m_tick->setInterval(m_timing.tickMs);
    connect(m_tick, &QTimer::timeout, this, &SinkFeeder::feed);
}

// Deleting a sink runs the sound server's own event loop, which would deliver
// what is queued for this half-destroyed feeder: that is taken back. The sink
// still open is deleted here and now; one closed before is deleted by its
// own deferred deletion, never a second time by this feeder's.
SinkFeeder::~SinkFeeder()
{
    QCoreApplication::removePostedEvents(this);
    delete stopOutput();
}

// Stops feeding and the sink; the sink, if one was open, is the caller's to delete.
QAudioSink *SinkFeeder::stopOutput()
{
    m_tick->stop();
    m_direct.reset();
    if (!m_sink)
        return nullptr;
    m_sink->disconnect(this);
    m_sink->stop();
    m_io = nullptr;
    return std::exchange(m_sink, nullptr);
}

// The server is asked first, with a plain connect: Qt's device layer, asked
// with none there, is slow, and after a restart of the server it met first it
// never works again.
bool SinkFeeder::open()
{
    if (m_failedAt.isValid() && !m_failedAt.hasExpired(m_timing.retryAfterMs))
        return false;
    m_failedAt.start();
    const PulseProbe::Result server = PulseProbe::probe();
    if (server.state == PulseProbe::State::Absent) {
        silence(QStringLiteral("нет звукового сервера"));
        return false;
    }
    if (server.state == PulseProbe::State::Answers && m_qtServer &&
        *m_qtServer != server.identity && !std::exchange(m_bypassQt, true))
        qCInfo(lcAudio, "The sound server was restarted: playing to it directly");
    if (!m_bypassQt && server.state == PulseProbe::State::Answers && !m_qtServer)
        m_qtServer = server.identity;
    if (!(m_bypassQt ? openDirect() : openQt()))
        return false;
    m_failedAt.invalidate();
    if (std::exchange(m_warned, false))
        Q_EMIT audible();
    m_primed = false;
    m_silentFor.start();
    m_tick->start();
    return true;
}

bool SinkFeeder::openQt()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        silence(QStringLiteral("нет устройства вывода звука"));
        return false;
    }
    // Not a child: see the destructor.
    m_sink = new QAudioSink(device, outputFormat());
    m_sink->setBufferSize(qsizetype(Rate) * m_timing.bufferMs / 1000 * frameBytes);
    connect(m_sink, &QAudioSink::stateChanged, this, &SinkFeeder::stateChanged);
    m_io = m_sink->start();
    if (!m_io || m_sink->error() != QAudio::NoError) {
        qCWarning(lcAudio, "Cannot open sound output %s", qUtf8Printable(device.description()));
        close();
        silence(QStringLiteral("не открывается устройство вывода звука"));
        return false;
    }
    return true;
}

bool SinkFeeder::openDirect()
{
    QString error;
    m_direct = PulseStream::open(Rate, Channels,
                                 qsizetype(Rate) * m_timing.bufferMs / 1000 * frameBytes, &error);
    if (!m_direct) {
        qCWarning(lcAudio, "Cannot open a stream to the sound server: %s", qUtf8Printable(error));
        silence(QStringLiteral("звуковой сервер не принимает звук"));
    }
    return m_direct != nullptr;
}

void SinkFeeder::silence(const QString &why)
{
    if (std::exchange(m_warned, true))
        return;
    qCWarning(lcAudio, "No sound output (%s): notes stay silent", qUtf8Printable(why));
    Q_EMIT silenced(why);
}

qsizetype SinkFeeder::bytesFree() const
{
    return m_direct ? m_direct->bytesFree() : m_sink->bytesFree();
}

qsizetype SinkFeeder::bufferBytes() const
{
    return m_direct ? m_direct->bufferSize() : m_sink->bufferSize();
}

void SinkFeeder::close()
{
    // Closing may be a reaction to the sink's own signal: it must outlive it.
    if (QAudioSink *sink = stopOutput())
        sink->deleteLater();
}

void SinkFeeder::wake()
{
    // A fresh stream starts with an empty buffer, so a new sound is heard
    // within a few milliseconds instead of queueing behind what the old
    // stream holds; the old one and what it holds are dropped.
    if (m_mix->takeRestart())
        close();
    if (m_mix->idle())
        return;
    if (!isOpen() && !open()) {
        // Sounds asked for while there is no output are dropped, not played
        // late once one appears.
        m_mix->clear();
        return;
    }
    m_silentFor.start();
    topUp(true);
}

void SinkFeeder::feed()
{
    topUp(false);
}

void SinkFeeder::topUp(bool urgent)
{
    if (!isOpen())
        return;
    const qsizetype free = bytesFree();
    // An empty buffer after the first top-up means the server ran dry.
    const bool dry = m_primed && free >= bufferBytes();
    if (dry && !m_dry)
        ++m_mix->underruns;
    m_dry = dry;
    m_primed = true;
    const qsizetype frames = free / frameBytes;
    // Topping up in pieces of at least a tick's length spares the sound server
    // a message for every few samples; a new sound goes out at once.
    if (frames <= 0 || (!urgent && frames < qsizetype(Rate) * m_timing.tickMs / 1000))
        return;
    m_buffer.resize(std::size_t(frames * Channels));
    bool idle = false;
    // A new sound waits for the fresh stream its wake-up opens: poured into
    // this one, its start would be dropped with it.
    if (!m_mix->pullForStream(m_buffer.data(), frames, &idle))
        return;
    const auto *bytes = reinterpret_cast<const char *>(m_buffer.data());
    if (m_direct && !m_direct->write(bytes, frames * frameBytes)) {
        qCWarning(lcAudio, "The sound server went away; reopening at the next sound");
        close();
        return;
    }
    if (m_io)
        m_io->write(bytes, frames * frameBytes);
    closeIfIdle(idle);
}

void SinkFeeder::closeIfIdle(bool idle)
{
    if (!idle)
        m_silentFor.start();
    else if (m_silentFor.hasExpired(m_timing.closeAfterMs)) {
        // An open stream fed with silence keeps this process and the sound
        // server waking every few milliseconds; a closed one costs nothing.
        close();
        ++m_mix->closes;
    }
}

void SinkFeeder::stateChanged(QAudio::State state)
{
    const QAudio::Error error = m_sink->error();
    if (state == QAudio::StoppedState && error != QAudio::NoError) {
        qCWarning(lcAudio, "Sound output failed (error %d); reopening at the next sound",
                  int(error));
        close();
    }
}

} // namespace nk

// Its meta-object stays with it, out of the program when the plug-in holds it.
#include "moc_sinkfeeder.cpp"
