#pragma once

#include "course/filestamp.h"
#include "course/inidocument.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace nk {

// The parsed form of the data files read last, each kept with the exact bytes
// it was parsed from and the file's stamp when those bytes were read. A file
// whose stamp is unchanged (and settled, see FileStamp) is not read again;
// otherwise it is read whole, and only the parse, the costly part for a large
// file, is skipped while the bytes are the same.
class IniCache
{
public:
    // Few files are open at a time; the byte bound keeps large files from
    // piling up in memory, while the last one stored is always kept.
    static constexpr int MaxEntries = 16;
    static constexpr qsizetype MaxBytes = 32 * 1024 * 1024;

    // The document when the file's stamp is the one stored with it.
    static std::optional<IniDocument> find(const QString &path, const FileStamp &stamp);
    static std::optional<IniDocument> find(const QString &path, QByteArrayView bytes);
    // Like find, but the document leaves the store: a caller about to change
    // it then changes the only copy instead of copying every line.
    static std::optional<IniDocument> take(const QString &path, const FileStamp &stamp);
    static std::optional<IniDocument> take(const QString &path, QByteArrayView bytes);
    // A stamp taken before the bytes were read; none when it cannot be trusted.
    static void store(const QString &path, const QByteArray &bytes, const IniDocument &doc,
                      const std::optional<FileStamp> &stamp = std::nullopt);
    static void clear();
};

} // namespace nk
