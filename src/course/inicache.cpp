#include "course/inicache.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>

namespace nk {

namespace {

struct Entry
{
    QString path;
    QByteArray bytes;
    IniDocument doc;
    std::optional<FileStamp> stamp;
};

struct Cache
{
    QMutex mutex;
    QList<Entry> entries; // the most recently used first
};

Cache &cache()
{
    static Cache s;
    return s;
}

qsizetype totalBytes(const QList<Entry> &entries)
{
    qsizetype total = 0;
    for (const Entry &e : entries)
        total += e.bytes.size();
    return total;
}

// The entry of the path when it matches, else -1; a stale entry stays, as the
// caller stores the file's new parse next.
template <typename Matches>
qsizetype indexOf(const QList<Entry> &entries, const QString &path, Matches matches)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].path == path)
            return matches(entries[i]) ? i : -1;
    }
    return -1;
}

template <typename Matches>
std::optional<IniDocument> lookUp(const QString &path, bool take, Matches matches)
{
    Cache &s = cache();
    const QMutexLocker lock(&s.mutex);
    const qsizetype i = indexOf(s.entries, path, matches);
    if (i < 0)
        return std::nullopt;
    if (take)
        return s.entries.takeAt(i).doc;
    s.entries.move(i, 0);
    return s.entries.first().doc;
}

bool sameStamp(const Entry &e, const FileStamp &stamp)
{
    return e.stamp && *e.stamp == stamp;
}

} // namespace

std::optional<IniDocument> IniCache::find(const QString &path, const FileStamp &stamp)
{
    return lookUp(path, false, [&](const Entry &e) { return sameStamp(e, stamp); });
}

std::optional<IniDocument> IniCache::find(const QString &path, QByteArrayView bytes)
{
    return lookUp(path, false, [&](const Entry &e) { return QByteArrayView(e.bytes) == bytes; });
}

std::optional<IniDocument> IniCache::take(const QString &path, const FileStamp &stamp)
{
    return lookUp(path, true, [&](const Entry &e) { return sameStamp(e, stamp); });
}

std::optional<IniDocument> IniCache::take(const QString &path, QByteArrayView bytes)
{
    return lookUp(path, true, [&](const Entry &e) { return QByteArrayView(e.bytes) == bytes; });
}

void IniCache::store(const QString &path, const QByteArray &bytes, const IniDocument &doc,
                     const std::optional<FileStamp> &stamp)
{
    Cache &s = cache();
    const QMutexLocker lock(&s.mutex);
    s.entries.removeIf([&path](const Entry &e) { return e.path == path; });
    s.entries.prepend(Entry{path, bytes, doc, stamp});
    while (s.entries.size() > 1 &&
           (s.entries.size() > MaxEntries || totalBytes(s.entries) > MaxBytes))
        s.entries.removeLast();
}

void IniCache::clear()
{
    Cache &s = cache();
    const QMutexLocker lock(&s.mutex);
    s.entries.clear();
}

} // namespace nk
