#include "audio/notenames.h"

#include <array>

namespace nk {

namespace {

struct PitchInfo
{
    const char16_t *name;
    const char *file;
};

constexpr std::array<PitchInfo, PitchCount> pitches = {{
    {u"ДО", "00do.wav"},
    {u"ДО#", "01do-diez.wav"},
    {u"РЕ", "02re.wav"},
    {u"РЕ#", "03re-diez.wav"},
    {u"МИ", "04mi.wav"},
    {u"ФА", "05fa.wav"},
    {u"ФА#", "06fa-diez.wav"},
    {u"СОЛЬ", "07sol.wav"},
    {u"СОЛЬ#", "08sol-diez.wav"},
    {u"ЛЯ", "09la.wav"},
    {u"ЛЯ#", "10la-diez.wav"},
    {u"СИ", "11si.wav"},
}};

bool validPitch(int pitch)
{
    return pitch >= 0 && pitch < PitchCount;
}

} // namespace

QString PitchName(quint8 pitch)
{
    if (!validPitch(pitch))
        return QStringLiteral("нет данных");
    return QString::fromUtf16(pitches[pitch].name);
}

quint8 NormalizePitch(qint32 value)
{
    return value >= 1 && value <= 11 ? quint8(value) : 0;
}

bool isBlackKey(int pitch)
{
    return pitch == 1 || pitch == 3 || pitch == 6 || pitch == 8 || pitch == 10;
}

QString noteFileName(int pitch)
{
    if (!validPitch(pitch))
        return {};
    return QLatin1String(pitches[pitch].file);
}

QString octaveFolderName(int octave)
{
    switch (octave) {
    case 4:
        return QStringLiteral("little");
    case 5:
        return QStringLiteral("first");
    case 6:
        return QStringLiteral("second");
    default:
        return {};
    }
}

QString recordedOctaveFolderName(int octave)
{
    switch (octave) {
    case 3:
        return QStringLiteral("great");
    case 7:
        return QStringLiteral("third");
    default:
        return octaveFolderName(octave);
    }
}

QString octaveWord(int octave)
{
    switch (octave) {
    case 4:
        return QStringLiteral("малой");
    case 5:
        return QStringLiteral("первой");
    case 6:
        return QStringLiteral("второй");
    default:
        return {};
    }
}

} // namespace nk
