#pragma once

#include <QtGlobal>
#include <optional>

namespace nk {

// What the file system says of an open file: its size, times and identity.
// Two equal stamps taken at two moments mean the file's bytes were not changed
// in between, with one exception: a program that rewrites a file in place,
// keeping its size, within the same tick of the file system's clock as an
// earlier change is not seen (the times do not move). A stamp is therefore only
// trusted once the file's last change lies further back than any tick
// (settled()); the program's own writes replace the file by a rename, which
// gives it a new identity, so they are always seen.
struct FileStamp
{
    qint64 size = 0;
    qint64 modifiedSec = 0;
    qint64 modifiedNsec = 0;
    qint64 changedSec = 0;
    qint64 changedNsec = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp &) const = default;

    // The stamp of an open file descriptor, when the system tells it.
    static std::optional<FileStamp> of(int fd);
    // True when the last change is old enough that a later change in place
    // must move the times; until then the bytes are compared instead.
    bool settled() const;

    // FAT's clock ticks every 2 s; tests shorten the wait instead of sleeping.
    static constexpr qint64 DefaultSettleNsec = 2'000'000'000;
    static void setSettleTime(qint64 nsec);
};

} // namespace nk
