#include "course/filestamp.h"

#include <algorithm>
#include <atomic>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <time.h>
#endif

namespace nk {

namespace {

std::atomic<qint64> settleNsec{FileStamp::DefaultSettleNsec};

} // namespace

void FileStamp::setSettleTime(qint64 nsec)
{
    settleNsec = nsec;
}

std::optional<FileStamp> FileStamp::of(int fd)
{
#ifdef Q_OS_UNIX
    struct stat st = {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return std::nullopt;
    FileStamp s;
    s.size = qint64(st.st_size);
    s.modifiedSec = qint64(st.st_mtim.tv_sec);
    s.modifiedNsec = qint64(st.st_mtim.tv_nsec);
    s.changedSec = qint64(st.st_ctim.tv_sec);
    s.changedNsec = qint64(st.st_ctim.tv_nsec);
    s.inode = quint64(st.st_ino);
    s.device = quint64(st.st_dev);
    return s;
#else
    // Without the status change time a stamp cannot be trusted; the bytes decide.
    Q_UNUSED(fd);
    return std::nullopt;
#endif
}

bool FileStamp::settled() const
{
#ifdef Q_OS_UNIX
    timespec now = {};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0)
        return false;
    const auto nsec = [](qint64 sec, qint64 ns) { return sec * 1'000'000'000 + ns; };
    const qint64 newest = std::max(nsec(modifiedSec, modifiedNsec), nsec(changedSec, changedNsec));
    // A time in the future (a clock set back) is never settled.
    return nsec(qint64(now.tv_sec), qint64(now.tv_nsec)) - newest >= settleNsec;
#else
    return false;
#endif
}

} // namespace nk
