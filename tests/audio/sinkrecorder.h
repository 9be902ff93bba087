#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <vector>

namespace nk::testkit {

// Records a sound source (a null sink's monitor) as 44.1 kHz mono 16-bit
// samples for as long as it runs. Every delivery of data is stamped, so that a
// sample can be placed on the same clock the caller reads before playing.
class SinkRecorder : public QObject
{
    Q_OBJECT
public:
    explicit SinkRecorder(QObject *parent = nullptr);
    ~SinkRecorder() override;

    // Returns once samples flow (the recorder needs most of a second before the
    // first arrive), or false after timeoutMs.
    bool start(const QString &source, QString *error, int timeoutMs = 10000);
    void stop();

    const std::vector<qint16> &samples() const { return m_samples; }
    qsizetype sampleCount() const { return qsizetype(m_samples.size()); }

    // Waits until `count` samples have arrived: on a busy machine the
    // recorder's deliveries can lag the sink by a good part of a second. False
    // after timeoutMs.
    bool waitForSamples(qsizetype count, int timeoutMs = 5000);

    // The clock deliveries are stamped with; nanoseconds since start().
    qint64 nowNs() const { return m_clock.nsecsElapsed(); }

    // Earliest moment, on nowNs()'s clock, at which `sample` can have been
    // recorded: every delivery that contained it bounds it from above, the
    // tightest bound is the least delayed delivery. -1 if none contained it.
    qint64 sampleTimeNs(qsizetype sample) const;

private:
    struct Delivery
    {
        qint64 ns;
        qsizetype samplesSoFar;
    };
    void readSamples();

    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_pending; // an odd byte waiting for its pair
    std::vector<qint16> m_samples;
    std::vector<Delivery> m_deliveries;
};

} // namespace nk::testkit
