#pragma once

#include "audio/pcmclip.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace nk {

// Reads RIFF WAVE files: integer PCM of 8, 16, 24 or 32 bits and 32-bit
// float, plain or in the extensible header, any rate and up to 8 channels.
// Everything becomes 16-bit. A data chunk cut short by a truncated file is
// read as far as it goes.
class WavDecoder
{
public:
    // The clip, or nothing with the reason in *error.
    static std::optional<PcmClip> decode(const QByteArray &bytes, QString *error);
    static std::optional<PcmClip> readFile(const QString &path, QString *error);
};

} // namespace nk
