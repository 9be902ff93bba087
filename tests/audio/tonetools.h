#pragma once

#include <QString>
#include <vector>

namespace nk::testkit {

inline constexpr int SampleRate = 44100;

// Equal temperament at A = 440 Hz; octave 5 is the first octave (ДО = 261.63 Hz).
double noteFrequency(int octave, int pitch);

// A 16-bit mono PCM file: the sum of the given sines (each at `amplitude` of
// full scale) for toneMs, then silenceMs of silence, as the course's
// recordings end. Creates missing folders.
bool writeToneWav(const QString &path, const std::vector<double> &frequencies, int toneMs,
                  int silenceMs, double amplitude = 0.5);

// Amplitude (in sample units) of a sine at `frequency` within
// samples[from, from + count), Hann-windowed so that neighbouring semitones do
// not leak into each other. 0 when the range is not inside the recording.
double toneAmplitude(const std::vector<qint16> &samples, qsizetype from, qsizetype count,
                     double frequency);

// First sample at or after `from` whose magnitude reaches `threshold`; -1 if none.
qsizetype firstLoudSample(const std::vector<qint16> &samples, qsizetype from, int threshold);

// Where a tone sounds in a recording, found block by block: first block and the
// end of the run of blocks in which its amplitude stays above `threshold`.
struct ToneSpan
{
    qsizetype start = -1;
    qsizetype end = -1;
    double lengthMs() const { return start < 0 ? 0.0 : (end - start) * 1000.0 / SampleRate; }
};
ToneSpan findTone(const std::vector<qint16> &samples, qsizetype from, double frequency,
                  double threshold);

// The samples of a 16-bit PCM WAV file's data chunk, read from its bytes;
// empty when the file or its data chunk is missing.
std::vector<qint16> wavSamples(const QString &path);

// Where in samples[from, end) a stretch of `count` samples of `clip` begins,
// each within `tolerance` of the clip's: the stretch starting `offset`
// samples after the clip's first sample of magnitude 256 or more. -1 when no
// such stretch was recorded.
qsizetype findClip(const std::vector<qint16> &samples, qsizetype from,
                   const std::vector<qint16> &clip, qsizetype offset = 0, qsizetype count = 512,
                   int tolerance = 2);

} // namespace nk::testkit
