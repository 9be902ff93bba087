// The sound output on its own, at a private null sink: latency from play() to
// the first sample, gaps in a long tone (underruns), the processor time an
// idle but open output costs this process and the sound server, and the
// latency of the first sound after the output closed its stream for silence.
//
// Usage: bench_sound_output [buffer-ms [tick-ms]]  (defaults: the program's)

#include "audio/soundoutput.h"
#include "audio/waitms.h"
#include "benchmain.h"
#include "figures.h"
#include "recordedsink.h"
#include "tonetools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <unistd.h>

using namespace nk;
using namespace nk::bench;
using namespace nk::testkit;

namespace {

constexpr int measuredPlays = 60;
constexpr int silentBelow = 32; // the null sink is digitally silent between sounds
constexpr int afterIdlePlays = 10;

std::shared_ptr<const PcmClip> tone(double frequency, int ms)
{
    auto clip = std::make_shared<PcmClip>(PcmClip{SampleRate, 1, {}});
    const int count = SampleRate * ms / 1000;
    for (int i = 0; i < count; ++i)
        clip->samples.push_back(qint16(
            std::lround(16000 * std::sin(2 * std::numbers::pi * frequency * i / SampleRate))));
    return clip;
}

// Milliseconds from play() to the first sound, or nothing if none came.
std::optional<double> latencyOnce(SoundOutput &output, RecordedSink &sink,
                                  const std::shared_ptr<const PcmClip> &clip, int waitMs)
{
    return sink.timeToSound(
        [&] {
            output.stopAll();
            output.play(clip);
        },
        waitMs);
}

// Processor time (user + system) of a process so far, in milliseconds.
double cpuMs(qint64 pid)
{
    QFile stat(pid > 0 ? QStringLiteral("/proc/%1/stat").arg(pid)
                       : QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // Fields after the parenthesised name: state is field 3, utime 14, stime 15.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 /
           double(sysconf(_SC_CLK_TCK));
}

struct CpuShare
{
    double self = 0;
    double server = 0;
};

// Share of one core used by this process and the sound server over `ms`.
CpuShare cpuOver(qint64 serverPid, int ms)
{
    const double self0 = cpuMs(0), server0 = cpuMs(serverPid);
    QElapsedTimer clock;
    clock.start();
    WaitMs(ms);
    const double elapsed = double(clock.elapsed());
    return {100.0 * (cpuMs(0) - self0) / elapsed, 100.0 * (cpuMs(serverPid) - server0) / elapsed};
}

// Runs of at least three near-silent samples inside a continuous tone: a sine
// of this loudness passes zero in one step, so such a run is a dropout.
int dropouts(const std::vector<qint16> &samples, qsizetype from, qsizetype to)
{
    int count = 0, run = 0;
    for (qsizetype i = from; i < to; ++i) {
        run = std::abs(int(samples[std::size_t(i)])) < silentBelow ? run + 1 : 0;
        count += run == 3 ? 1 : 0;
    }
    return count;
}

int measureLatency(SoundOutput &output, RecordedSink &sink)
{
    const auto clip = tone(440, 150);
    std::vector<double> latencies;
    for (int i = 0; i < 5 + measuredPlays; ++i) {
        const std::optional<double> ms = latencyOnce(output, sink, clip, 300);
        if (!ms)
            return fail(QStringLiteral("play %1 never reached the sink").arg(i));
        if (i >= 5)
            latencies.push_back(*ms);
    }
    Figures::printSpread("play() to first sample at the sink (after 5 warm-up plays)", "plays",
                         latencies);
    return 0;
}

void measureContinuity(SoundOutput &output, SinkRecorder &recorder)
{
    const int seconds = 10;
    const qsizetype from = recorder.sampleCount();
    output.play(tone(441, seconds * 1000));
    WaitMs(seconds * 1000 + 500);
    const qsizetype onset = firstLoudSample(recorder.samples(), from, silentBelow);
    const qsizetype end = onset + qsizetype(SampleRate) * seconds - SampleRate / 100;
    if (onset < 0 || end > recorder.sampleCount()) {
        std::printf("Long tone: not recorded whole\n");
        return;
    }
    std::printf("A %d s tone: %d dropouts in the recording\n", seconds,
                dropouts(recorder.samples(), onset, end));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SoundTiming timing;
    if (argc > 1)
        timing.bufferMs = QByteArray(argv[1]).toInt();
    if (argc > 2)
        timing.tickMs = QByteArray(argv[2]).toInt();
    timing.closeAfterMs = 1000000; // closing is measured on its own below
    RecordedSink sink;
    QString error;
    if (!sink.start(&error))
        return fail(error);
    SinkRecorder &recorder = sink.recorder();
    const qint64 serverPid = sink.server().pid();
    std::printf("Buffer %d ms, top-up every %d ms\n", timing.bufferMs, timing.tickMs);
    const CpuShare before = cpuOver(serverPid, 5000);
    auto output = std::make_unique<SoundOutput>(timing);
    WaitMs(500);
    if (int failed = measureLatency(*output, sink))
        return failed;
    measureContinuity(*output, recorder);
    std::printf("Underruns reported by the output so far: %d\n", output->underruns());
    const CpuShare idle = cpuOver(serverPid, 5000);
    std::printf("Processor, %% of one core over 5 s (this process / sound server):\n"
                "  no output %.2f / %.2f, open output playing silence %.2f / %.2f\n",
                before.self, before.server, idle.self, idle.server);

    timing.closeAfterMs = 1000;
    output = std::make_unique<SoundOutput>(timing);
    WaitMs(1500);
    const CpuShare closed = cpuOver(serverPid, 5000);
    std::printf("  output closed after silence %.2f / %.2f\n", closed.self, closed.server);
    std::vector<double> afterIdle;
    for (int i = 0; i < afterIdlePlays; ++i) {
        WaitMs(1500);
        const std::optional<double> ms = latencyOnce(*output, sink, tone(440, 150), 300);
        if (!ms)
            return fail(QStringLiteral("play after the stream closed never reached the sink"));
        afterIdle.push_back(*ms);
    }
    Figures::printSpread("First sound after the stream closed for silence", "plays", afterIdle);
    std::printf("Streams closed for silence: %d\n", output->closes());
    return 0;
}
