#include "tonetools.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace nk::testkit {

namespace {

constexpr qsizetype trackBlock = 2048; // 46 ms: tones 45 Hz apart stay apart
constexpr qsizetype trackHop = 256;

void writeHeader(QDataStream &out, quint32 dataBytes)
{
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(SampleRate) << quint32(SampleRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
}

qint16 toneSample(const std::vector<double> &frequencies, int i, int toneSamples, double amplitude)
{
    // 5 ms ramps keep clicks from spreading energy over the spectrum.
    const int ramp = SampleRate / 200;
    const double gain = std::min({1.0, double(i) / ramp, double(toneSamples - i) / ramp});
    double value = 0;
    for (double f : frequencies)
        value += std::sin(2 * std::numbers::pi * f * i / SampleRate);
    return qint16(std::lround(value * amplitude * gain * 32767));
}

} // namespace

double noteFrequency(int octave, int pitch)
{
    return 440.0 * std::pow(2.0, (12 * octave + pitch - 69) / 12.0);
}

bool writeToneWav(const QString &path, const std::vector<double> &frequencies, int toneMs,
                  int silenceMs, double amplitude)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const int toneSamples = SampleRate * toneMs / 1000;
    const int total = toneSamples + SampleRate * silenceMs / 1000;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    writeHeader(out, quint32(total * 2));
    for (int i = 0; i < total; ++i)
        out << (i < toneSamples ? toneSample(frequencies, i, toneSamples, amplitude) : qint16(0));
    return out.status() == QDataStream::Ok && file.flush();
}

double toneAmplitude(const std::vector<qint16> &samples, qsizetype from, qsizetype count,
                     double frequency)
{
    if (from < 0 || count <= 0 || from + count > qsizetype(samples.size()))
        return 0;
    const double omega = 2 * std::numbers::pi * frequency / SampleRate;
    double re = 0, im = 0, windowSum = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (count - 1));
        const double x = samples[from + i] * w;
        re += x * std::cos(omega * i);
        im -= x * std::sin(omega * i);
        windowSum += w;
    }
    return 2 * std::hypot(re, im) / windowSum;
}

qsizetype firstLoudSample(const std::vector<qint16> &samples, qsizetype from, int threshold)
{
    for (qsizetype i = std::max<qsizetype>(from, 0); i < qsizetype(samples.size()); ++i) {
        if (std::abs(int(samples[i])) >= threshold)
            return i;
    }
    return -1;
}

ToneSpan findTone(const std::vector<qint16> &samples, qsizetype from, double frequency,
                  double threshold)
{
    ToneSpan span;
    const qsizetype size = samples.size();
    for (qsizetype at = std::max<qsizetype>(from, 0); at + trackBlock <= size; at += trackHop) {
        const bool sounding = toneAmplitude(samples, at, trackBlock, frequency) >= threshold;
        if (sounding && span.start < 0)
            span.start = at + trackBlock / 2;
        if (!sounding && span.start >= 0)
            break;
        if (sounding)
            span.end = at + trackBlock / 2;
    }
    return span;
}

std::vector<qint16> wavSamples(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (bytes.mid(at, 4) == "data") {
            const qsizetype end = std::min<qsizetype>(bytes.size(), at + 8 + size);
            std::vector<qint16> samples;
            for (qsizetype i = at + 8; i + 1 < end; i += 2)
                samples.push_back(qFromLittleEndian<qint16>(bytes.constData() + i));
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

qsizetype findClip(const std::vector<qint16> &samples, qsizetype from,
                   const std::vector<qint16> &clip, qsizetype offset, qsizetype count,
                   int tolerance)
{
    const qsizetype onset = firstLoudSample(clip, 0, 256);
    if (onset < 0 || onset + offset + count > qsizetype(clip.size()))
        return -1;
    const qint16 *want = clip.data() + onset + offset;
    const qsizetype last = qsizetype(samples.size()) - count;
    for (qsizetype at = std::max<qsizetype>(from, 0); at <= last; ++at) {
        qsizetype i = 0;
        while (i < count && std::abs(int(samples[std::size_t(at + i)]) - int(want[i])) <= tolerance)
            ++i;
        if (i == count)
            return at;
    }
    return -1;
}

} // namespace nk::testkit
