#include "app/sessionend.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nk {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = int(std::size(kSignals));

// [0] is written by the handler, [1] read by the message loop.
int g_pair[2] = {-1, -1};
struct sigaction g_previous[kSignalCount];

void onSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    // Non-blocking: when the pair is full a close is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(g_pair[0], &byte, 1);
    errno = saved;
}

bool openPair()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pair) != 0)
        return false;
    for (int fd : g_pair)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return true;
}

void closePair()
{
    for (int &fd : g_pair) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace

SessionEnd::SessionEnd(std::function<void()> end, QObject *parent)
    : QObject(parent), m_end(std::move(end))
{
    if (g_pair[0] >= 0 || !openPair())
        return; // another instance has the signals, or no descriptors are left
    m_notifier = new QSocketNotifier(g_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignals);
    struct sigaction action = {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

SessionEnd::~SessionEnd()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    closePair();
}

void SessionEnd::readSignals()
{
    char bytes[16];
    while (::read(g_pair[1], bytes, sizeof bytes) > 0) {
    }
    if (m_end)
        m_end();
}

} // namespace nk
