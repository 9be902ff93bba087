#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace nk {

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
const QByteArray kShown = QByteArrayLiteral("ok\n");
// How long a later start waits for the first to take its request: the first
// may be busy in a playback loop, which keeps its message loop running.
constexpr int kAskTimeoutMs = 3000;

QByteArray socketPath(const QString &name)
{
    return QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name);
}

bool toAddress(const QByteArray &path, sockaddr_un &address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

// Bound in a folder of the user's own and then moved into place, so no other
// user can ever connect; a socket left there by a killed program is replaced.
int bindPrivately(const QByteArray &path)
{
    QByteArray folder = path + ".XXXXXX";
    if (!::mkdtemp(folder.data()))
        return -1;
    const QByteArray inside = folder + "/socket";
    sockaddr_un address;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const bool bound = fd >= 0 && toAddress(inside, address) &&
                       ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                       ::chmod(inside.constData(), S_IRUSR | S_IWUSR) == 0 &&
                       ::rename(inside.constData(), path.constData()) == 0 && ::listen(fd, 8) == 0;
    ::unlink(inside.constData());
    ::rmdir(folder.constData());
    if (!bound && fd >= 0)
        ::close(fd);
    return bound ? fd : -1;
}

} // namespace

SingleInstance::SingleInstance(const BasePath &base, QObject *parent)
    : QObject(parent), m_base(base)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server >= 0) {
        ::close(m_server);
        ::unlink(m_path.constData());
    }
    if (m_lock >= 0)
        ::close(m_lock); // lets go of the lock; the file stays for the next holder
}

QString SingleInstance::serverName(const BasePath &base)
{
    const QString canonical = QDir(base.folder()).canonicalPath();
    const QByteArray key = (canonical.isEmpty() ? base.folder() : canonical).toUtf8();
    return QStringLiteral("notoklyuv-") +
           QString::fromLatin1(
               QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(24));
}

bool SingleInstance::start()
{
    const QString levels = m_base.resolve(QStringLiteral("levels"));
    if (levels.isEmpty())
        return true; // no lock can be made here
    const QByteArray path = QFile::encodeName(levels + QStringLiteral("/notoklyuv.lock"));
    m_lock = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lock < 0)
        return true;
    if (::flock(m_lock, LOCK_EX | LOCK_NB) == 0) {
        nameHolder();
        listen();
        return true;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(m_lock);
    m_lock = -1;
    if (!held)
        return true;
    askFirst();
    return false;
}

// Process number, program and host, a line each: a Qt lock file's holder, as
// a start of an older version reads it before it asks this one for the window.
void SingleInstance::nameHolder() const
{
    const QByteArray holder = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                              QCoreApplication::applicationName().toUtf8() + '\n' +
                              QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(m_lock, 0) == 0) {
        [[maybe_unused]] const ssize_t written =
            ::pwrite(m_lock, holder.constData(), size_t(holder.size()), 0);
    }
}

void SingleInstance::listen()
{
    m_path = socketPath(serverName(m_base));
    m_server = bindPrivately(m_path);
    if (m_server < 0)
        return; // the window still works; only a later start cannot reach it
    m_incoming = new QSocketNotifier(m_server, QSocketNotifier::Read, this);
    connect(m_incoming, &QSocketNotifier::activated, this, &SingleInstance::answer);
}

void SingleInstance::answer()
{
    for (;;) {
        const int client = ::accept4(m_server, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0)
            return;
        serve(client);
    }
}

// A request is one short line; the client is answered and let go once it is in.
void SingleInstance::serve(int client)
{
    auto *readable = new QSocketNotifier(client, QSocketNotifier::Read, this);
    auto line = std::make_shared<QByteArray>();
    connect(readable, &QSocketNotifier::activated, this, [this, client, readable, line] {
        char chunk[64];
        const ssize_t got = ::read(client, chunk, sizeof chunk);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (got > 0)
            line->append(chunk, got);
        if (got > 0 && !line->contains('\n') && line->size() < 256)
            return;
        if (*line == kShow) {
            Q_EMIT showRequested();
            // The asker only waits for an answer; one that went meanwhile needs none.
            [[maybe_unused]] const ssize_t sent =
                ::write(client, kShown.constData(), size_t(kShown.size()));
        }
        readable->setEnabled(false);
        readable->deleteLater();
        ::close(client);
    });
}

// Waits for the answer, so the request has been handled when this start ends.
void SingleInstance::askFirst() const
{
    sockaddr_un address;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    if (toAddress(socketPath(serverName(m_base)), address) &&
        ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::write(fd, kShow.constData(), size_t(kShow.size())) == kShow.size()) {
        pollfd reply{fd, POLLIN, 0};
        char answer[8];
        if (::poll(&reply, 1, kAskTimeoutMs) > 0) {
            [[maybe_unused]] const ssize_t got = ::read(fd, answer, sizeof answer);
        }
    }
    ::close(fd);
}

} // namespace nk
