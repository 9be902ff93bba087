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

// The entry of this path if it holds exactly these bytes, else -1.
qsizetype indexOf(const QList<Entry> &entries, const QString &path, QByteArrayView bytes)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].path == path)
            return QByteArrayView(entries[i].bytes) == bytes ? i : -1;
    }
    return -1;
}

} // namespace

std::optional<IniDocument> IniCache::find(const QString &path, QByteArrayView bytes)
{
    Cache &s = cache();
    const QMutexLocker lock(&s.mutex);
    const qsizetype i = indexOf(s.entries, path, bytes);
    if (i < 0)
        return std::nullopt;
    s.entries.move(i, 0);
    return s.entries.first().doc;
}

std::optional<IniDocument> IniCache::take(const QString &path, QByteArrayView bytes)
{
    Cache &s = cache();
    const QMutexLocker lock(&s.mutex);
    const qsizetype i = indexOf(s.entries, path, bytes);
    if (i < 0)
        return std::nullopt;
    return s.entries.takeAt(i).doc;
}

void IniCache::store(const QString &path, const QByteArray &bytes, const IniDocument &doc)
{
    Cache &s = cache();
    const QMutexLocker lock(&s.mutex);
    s.entries.removeIf([&path](const Entry &e) { return e.path == path; });
    s.entries.prepend(Entry{path, bytes, doc});
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
