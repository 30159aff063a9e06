#include "platform/singleinstance.h"

#include "platform/logging.h"

#include <QDir>
#include <QLocalSocket>

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      // An unreadable TMPDIR gives no folder at all, and the lock would land in the
      // working folder.
      m_usableFolder(!QDir::tempPath().isEmpty()),
      m_socketPath(QDir(QDir::tempPath()).filePath(QStringLiteral("quorvel-%1.sock").arg(name))),
      m_lock(QDir(QDir::tempPath()).filePath(QStringLiteral("quorvel-%1.lock").arg(name)))
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            peer->disconnectFromServer();
            emit activationRequested();
        }
    });
}

bool SingleInstance::claim()
{
    if (!m_usableFolder) {
        qCWarning(lcClient) << "running without the single-instance lock: no temporary folder";
        return true;
    }
    m_lock.setStaleLockTime(0);
    // A copy that died leaves a lock whose process is gone; QLockFile sees that.
    if (!m_lock.tryLock(0) && m_lock.error() == QLockFile::LockFailedError &&
        m_lock.removeStaleLockFile())
        m_lock.tryLock(0);
    switch (m_lock.error()) {
    case QLockFile::NoError:
        break;
    case QLockFile::LockFailedError:
        return false;
    case QLockFile::PermissionError:
    case QLockFile::UnknownError:
        qCWarning(lcClient).noquote()
            << "running without the single-instance lock:"
            << QDir::toNativeSeparators(m_lock.fileName()) << "cannot be created";
        return true;
    }
    QLocalServer::removeServer(m_socketPath);
    m_server.listen(m_socketPath);
    return true;
}

bool SingleInstance::activateRunning(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}
