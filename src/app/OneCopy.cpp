#include "app/OneCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSysInfo>

namespace {
constexpr char Request[] = "front\n";
constexpr char Answer[] = "ok\n";
constexpr int WaitMs = 2000;
} // namespace

TOneCopy::TOneCopy(const QString& Folder) {
  const QString Canonical = QDir(Folder).canonicalPath();
  FName = QStringLiteral("velm-mtr-") +
          QString::fromLatin1(
              QCryptographicHash::hash(Canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
  FLock = std::make_unique<QLockFile>(QDir(Folder).filePath(QString::fromLatin1(LockFileName)));
  // A running copy keeps its lock however long it runs; only a lock whose
  // process is gone is stale.
  FLock->setStaleLockTime(0);
  if (FLock->tryLock(0))
    return;
  // Any failure but a lock held (no permission, no space) must not keep the
  // learner out.
  FFirst = FLock->error() != QLockFile::LockFailedError;
  // A lock of another machine came with a folder copied from a copy that
  // had crashed there (the folder is moved while the program is closed):
  // whether that copy runs cannot be known here, and nothing could answer.
  qint64 Pid = 0;
  QString Host;
  QString App;
  if (!FFirst && FLock->getLockInfo(&Pid, &Host, &App) && !Host.isEmpty() &&
      Host != QSysInfo::machineHostName() && FLock->removeStaleLockFile())
    FFirst = FLock->tryLock(0) || FLock->error() != QLockFile::LockFailedError;
}

TOneCopy::~TOneCopy() {
  if (FServer)
    FServer->close();
  if (FLock && FLock->isLocked())
    FLock->unlock();
}

void TOneCopy::Listen(std::function<void()> BringToFront) {
  FBringToFront = std::move(BringToFront);
  FServer = std::make_unique<QLocalServer>();
  FServer->setSocketOptions(QLocalServer::UserAccessOption);
  // The socket of a copy that crashed is left behind; the lock says it is
  // no one's now.
  if (!FServer->listen(FName)) {
    QLocalServer::removeServer(FName);
    FServer->listen(FName);
  }
  QObject::connect(FServer.get(), &QLocalServer::newConnection, FServer.get(), [this] {
    while (QLocalSocket* Peer = FServer->nextPendingConnection()) {
      QObject::connect(Peer, &QLocalSocket::disconnected, Peer, &QObject::deleteLater);
      QObject::connect(Peer, &QLocalSocket::readyRead, Peer, [this, Peer] {
        if (!Peer->canReadLine())
          return;
        if (Peer->readLine() == Request && FBringToFront)
          FBringToFront();
        Peer->write(Answer);
        Peer->flush();
        Peer->disconnectFromServer();
      });
    }
  });
}

bool TOneCopy::AskFirstToFront() const {
  QLocalSocket Socket;
  Socket.connectToServer(FName);
  if (!Socket.waitForConnected(WaitMs))
    return false;
  Socket.write(Request);
  if (!Socket.waitForBytesWritten(WaitMs))
    return false;
  while (!Socket.canReadLine())
    if (!Socket.waitForReadyRead(WaitMs))
      return false;
  return Socket.readLine() == Answer;
}
