#pragma once

#include "audio/sharedmix.h"
#include "audio/soundsink.h"

#include <QAudio>
#include <QElapsedTimer>
#include <QObject>
#include <memory>
#include <optional>

class QAudioSink;
class QIODevice;
class QTimer;

namespace nk {

class PulseStream;

// Lives in the sound thread and keeps the sound server's buffer topped up
// from the mixer. A new sound (or a stop) drops the stream with what it holds;
// the next sound opens a fresh one, whose empty buffer it fills at once. After
// a spell of silence the stream is closed.
class SinkFeeder : public QObject, public SoundSink
{
    Q_OBJECT
public:
    SinkFeeder(SoundTiming timing, std::shared_ptr<SharedMix> mix);
    ~SinkFeeder() override;

    QObject *object() override { return this; }
    // Something new is in the mixer, or it was cleared: restart the stream if
    // asked to and feed it at once.
    void wake() override;

Q_SIGNALS:
    // No output could be opened (said once until one opens again), and why,
    // in the learner's words.
    void silenced(const QString &why);
    // An output opened after silenced().
    void audible();

private:
    bool open();
    bool openQt();
    bool openDirect();
    void silence(const QString &why);
    qsizetype bytesFree() const;
    qsizetype bufferBytes() const;
    bool isOpen() const { return m_sink || m_direct; }
    void close();
    QAudioSink *stopOutput();
    void feed();
    void topUp(bool urgent);
    void closeIfIdle(bool idle);
    void stateChanged(QAudio::State state);

    SoundTiming m_timing;
    std::shared_ptr<SharedMix> m_mix;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_io = nullptr;
    // Past a restart of the server Qt's audio met first, streams go straight
    // to the server: Qt's stay silent for the rest of the run.
    std::unique_ptr<PulseStream> m_direct;
    std::optional<QByteArray> m_qtServer; // the server Qt's audio is tied to
    bool m_bypassQt = false;
    QTimer *m_tick = nullptr;
    QElapsedTimer m_silentFor; // since the mixer last had a voice
    QElapsedTimer m_failedAt;  // since opening last failed; invalid after success
    bool m_primed = false;     // topped up since opening
    bool m_dry = false;        // the last top-up found the buffer empty
    bool m_warned = false;
    std::vector<qint16> m_buffer;
};

} // namespace nk
