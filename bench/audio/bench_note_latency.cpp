// Time from PlayNote to the first non-silent sample at a private null sink.
//
// The sink's monitor is recorded continuously and every delivery is stamped;
// a sample's time is bounded by the least delayed delivery that held it, so
// the figures include the recorder's own smallest delay (a few ms at the
// 10 ms latency asked for) and are slightly pessimistic.

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "privatepulse.h"
#include "sinkrecorder.h"
#include "tonetools.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace nk;
using namespace nk::testkit;

namespace {

constexpr int warmUpPlays = 5;
constexpr int measuredPlays = 60;
constexpr int silentBelow = 32; // the null sink is digitally silent between notes

bool writeNotes(const QString &base)
{
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            QString relative = NotePlayer::noteRelativePath(QStringLiteral("piano"), octave, pitch);
            relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (!writeToneWav(base + QLatin1Char('/') + relative, {noteFrequency(octave, pitch)},
                              200, 300))
                return false;
        }
    }
    return true;
}

// Milliseconds from the call to the first sound, or NaN if none came (a very short one can
// come out slightly negative: the null sink renders ahead in blocks).
double measureOnce(NotePlayer &player, SinkRecorder &recorder, int note)
{
    const qsizetype from = recorder.sampleCount();
    const qint64 playedAt = recorder.nowNs();
    player.PlayNote(4 + note / 12 % 3, quint8(note % 12));
    WaitMs(500);
    recorder.waitForSamples(from + SampleRate / 2);
    const qsizetype onset = firstLoudSample(recorder.samples(), from, silentBelow);
    if (onset < 0)
        return std::nan("");
    return (recorder.sampleTimeNs(onset) - playedAt) / 1e6;
}

double percentile(std::vector<double> sorted, double p)
{
    std::sort(sorted.begin(), sorted.end());
    const auto index = qsizetype(p * double(sorted.size() - 1) + 0.5);
    return sorted[std::clamp<qsizetype>(index, 0, sorted.size() - 1)];
}

int fail(const QString &why)
{
    std::fprintf(stderr, "bench_note_latency: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const QString missing = PrivatePulse::missingTools(); !missing.isEmpty())
        return fail(missing);
    PrivatePulse pulse;
    QString error;
    if (!pulse.start(&error))
        return fail(error);
    QTemporaryDir base;
    if (!writeNotes(base.path()))
        return fail(QStringLiteral("cannot write the note files"));
    SinkRecorder recorder;
    if (!recorder.start(PrivatePulse::monitorName(), &error))
        return fail(error);
    NotePlayer player{BasePath(base.path())};
    WaitMs(1000); // let the 36 notes decode: a key press comes long after start-up

    std::vector<double> latencies;
    for (int i = 0; i < warmUpPlays + measuredPlays; ++i) {
        const double ms = measureOnce(player, recorder, i * 7);
        if (std::isnan(ms))
            return fail(QStringLiteral("play %1 never reached the sink").arg(i));
        if (i >= warmUpPlays)
            latencies.push_back(ms);
    }
    std::printf("PlayNote to first sample at the sink, %zu plays (after %d warm-up plays):\n",
                latencies.size(), warmUpPlays);
    std::printf("  median %.1f ms, 95th percentile %.1f ms, min %.1f ms, max %.1f ms\n",
                percentile(latencies, 0.5), percentile(latencies, 0.95),
                *std::min_element(latencies.begin(), latencies.end()),
                *std::max_element(latencies.begin(), latencies.end()));
    return 0;
}
