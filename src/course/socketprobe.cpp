#include "course/socketprobe.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace nk {

bool SocketProbe::answers(const QByteArray &path)
{
#ifdef Q_OS_UNIX
    sockaddr_un address{};
    if (path.isEmpty() || path.size() >= qsizetype(sizeof(address.sun_path)))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const bool ok =
        ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0 ||
        errno == EAGAIN || errno == EINPROGRESS;
    ::close(fd);
    return ok;
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace nk
