#include "audio/wavdecoder.h"

#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace nk {

namespace {

constexpr quint16 formatPcm = 1;
constexpr quint16 formatFloat = 3;
constexpr quint16 formatExtensible = 0xFFFE;
constexpr int maxChannels = 8;
constexpr int maxRate = 768000;

struct Format
{
    quint16 tag = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

std::optional<Format> parseFormat(const char *p, quint32 size, QString *error)
{
    if (size < 16) {
        *error = QStringLiteral("format chunk too short");
        return std::nullopt;
    }
    Format f{u16(p), u16(p + 2), int(u32(p + 4)), u16(p + 14)};
    if (f.tag == formatExtensible && size >= 26)
        f.tag = u16(p + 24); // the sub-format's first two bytes are the plain tag
    const bool pcm =
        f.tag == formatPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool floats = f.tag == formatFloat && f.bits == 32;
    if (!pcm && !floats) {
        *error = QStringLiteral("unsupported encoding %1 with %2 bits").arg(f.tag).arg(f.bits);
        return std::nullopt;
    }
    if (f.channels < 1 || f.channels > maxChannels || f.rate < 1 || f.rate > maxRate) {
        *error =
            QStringLiteral("unsupported layout: %1 channels at %2 Hz").arg(f.channels).arg(f.rate);
        return std::nullopt;
    }
    return f;
}

qint16 sampleAt(const char *p, const Format &f)
{
    switch (f.bits) {
    case 8:
        return qint16((int(quint8(*p)) - 128) * 256);
    case 16:
        return qFromLittleEndian<qint16>(p);
    case 24:
        return qint16(qFromLittleEndian<qint16>(p + 1));
    default:
        break;
    }
    if (f.tag == formatPcm)
        return qint16(qFromLittleEndian<qint32>(p) >> 16);
    float value;
    const quint32 raw = u32(p);
    std::memcpy(&value, &raw, sizeof value);
    if (!std::isfinite(value))
        return 0;
    return qint16(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

PcmClip convertData(const char *p, qsizetype bytes, const Format &f)
{
    const int width = f.bits / 8;
    const qsizetype frames = bytes / (width * f.channels);
    PcmClip clip{f.rate, f.channels, {}};
    clip.samples.resize(std::size_t(frames * f.channels));
    for (std::size_t i = 0; i < clip.samples.size(); ++i)
        clip.samples[i] = sampleAt(p + qsizetype(i) * width, f);
    return clip;
}

} // namespace

std::optional<PcmClip> WavDecoder::decode(const QByteArray &bytes, QString *error)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        *error = QStringLiteral("not a RIFF WAVE file");
        return std::nullopt;
    }
    std::optional<Format> format;
    for (qsizetype at = 12; at + 8 <= size;) {
        const char *chunk = data + at;
        const qsizetype body = at + 8;
        const qsizetype length = std::min<qsizetype>(u32(chunk + 4), size - body);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            format = parseFormat(data + body, quint32(length), error);
            if (!format)
                return std::nullopt;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!format)
                break;
            PcmClip clip = convertData(data + body, length, *format);
            if (clip.frames() > 0)
                return clip;
            *error = QStringLiteral("no sound data");
            return std::nullopt;
        }
        at = body + length + (length & 1);
    }
    *error = format ? QStringLiteral("no data chunk") : QStringLiteral("no format chunk");
    return std::nullopt;
}

std::optional<PcmClip> WavDecoder::readFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    return decode(file.readAll(), error);
}

} // namespace nk
