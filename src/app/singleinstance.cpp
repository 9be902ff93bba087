#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace nk {

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
const QByteArray kShown = QByteArrayLiteral("ok\n");
// How long a later start waits for the first to take its request: the first
// may be busy in a playback loop, which keeps its message loop running.
constexpr int kAskTimeoutMs = 3000;

} // namespace

SingleInstance::SingleInstance(const BasePath &base, QObject *parent)
    : QObject(parent), m_base(base)
{
}

SingleInstance::~SingleInstance() = default;

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
    m_lock = std::make_unique<QLockFile>(levels + QStringLiteral("/notoklyuv.lock"));
    // Held for the whole run, however long: only a dead holder makes it stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
        return true;
    }
    if (m_lock->error() != QLockFile::LockFailedError)
        return true; // no lock can be made here
    askFirst();
    return false;
}

void SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(m_base);
    // A socket left by a killed program: the lock says it is nobody's now.
    if (!m_server->listen(name) && QLocalServer::removeServer(name))
        m_server->listen(name);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kShow) {
                Q_EMIT showRequested();
                socket->write(kShown);
            }
            socket->disconnectFromServer();
        });
    }
}

// Waits for the answer, so the request has been handled when this start ends.
void SingleInstance::askFirst() const
{
    QLocalSocket socket;
    socket.connectToServer(serverName(m_base));
    if (!socket.waitForConnected(kAskTimeoutMs))
        return;
    socket.write(kShow);
    if (socket.waitForBytesWritten(kAskTimeoutMs))
        socket.waitForReadyRead(kAskTimeoutMs);
}

} // namespace nk
