#include "sinkrecorder.h"

#include "audio/waitms.h"
#include "tonetools.h"

#include <QDeadlineTimer>
#include <QtEndian>

namespace nk::testkit {

namespace {
// How many later deliveries to consult for a sample's time; deliveries come
// every few milliseconds, so this spans about a second.
constexpr qsizetype deliveriesConsulted = 200;
} // namespace

SinkRecorder::SinkRecorder(QObject *parent) : QObject(parent)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SinkRecorder::readSamples);
}

SinkRecorder::~SinkRecorder()
{
    stop();
}

bool SinkRecorder::start(const QString &source, QString *error, int timeoutMs)
{
    m_clock.start();
    m_process.start(QStringLiteral("parec"),
                    {QStringLiteral("-d"), source, QStringLiteral("--format=s16le"),
                     QStringLiteral("--rate=%1").arg(SampleRate), QStringLiteral("--channels=1"),
                     QStringLiteral("--latency-msec=10")});
    QDeadlineTimer deadline(timeoutMs);
    while (m_samples.empty() && m_process.state() != QProcess::NotRunning && !deadline.hasExpired())
        WaitMs(10);
    if (m_samples.empty()) {
        *error = QStringLiteral("no samples from parec: ") +
                 QString::fromLocal8Bit(m_process.readAllStandardError());
        return false;
    }
    return true;
}

void SinkRecorder::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(3000);
}

bool SinkRecorder::waitForSamples(qsizetype count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (sampleCount() < count && m_process.state() != QProcess::NotRunning &&
           !deadline.hasExpired())
        WaitMs(5);
    return sampleCount() >= count;
}

void SinkRecorder::readSamples()
{
    m_pending += m_process.readAllStandardOutput();
    const qsizetype count = m_pending.size() / 2;
    const auto *data = reinterpret_cast<const uchar *>(m_pending.constData());
    for (qsizetype i = 0; i < count; ++i)
        m_samples.push_back(qFromLittleEndian<qint16>(data + 2 * i));
    m_pending.remove(0, count * 2);
    if (count > 0)
        m_deliveries.push_back({m_clock.nsecsElapsed(), sampleCount()});
}

qint64 SinkRecorder::sampleTimeNs(qsizetype sample) const
{
    auto it = std::lower_bound(m_deliveries.begin(), m_deliveries.end(), sample,
                               [](const Delivery &d, qsizetype s) { return d.samplesSoFar <= s; });
    qint64 best = -1;
    for (qsizetype n = 0; it != m_deliveries.end() && n < deliveriesConsulted; ++it, ++n) {
        const qint64 bound = it->ns - (it->samplesSoFar - 1 - sample) * 1000000000LL / SampleRate;
        if (best < 0 || bound < best)
            best = bound;
    }
    return best;
}

} // namespace nk::testkit
