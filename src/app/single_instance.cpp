#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include "platform/paths.h"

namespace tarn {
namespace {

constexpr char kRaise[] = "raise\n";

// The person is their settings folder: tests and separate accounts each have their own.
QString instanceName(const QString& folder) {
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("tarnview-") + QString::fromLatin1(hash);
}

}  // namespace

SingleInstance::SingleInstance(std::function<void()> raise) : raise_(std::move(raise)) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim() {
    const QString folder = QString::fromStdString(configFolder().string());
    QDir().mkpath(folder);
    name_ = instanceName(folder);
    lock_ = std::make_unique<QLockFile>(folder + QStringLiteral("/tarnview.lock"));
    // A lock whose program is gone is taken over at once; a live one never goes stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        if (lock_->error() == QLockFile::LockFailedError) {
            QLocalSocket socket;
            socket.connectToServer(name_);
            if (socket.waitForConnected(2000)) {
                socket.write(kRaise);
                socket.waitForBytesWritten(1000);
                socket.disconnectFromServer();
            }
            return Claim::Running;
        }
        // Without the lock a second window of the same person could run and count one daily
        // allowance twice.
        failure_ = "Tarnview can not make its lock file in " + folder.toStdString() +
                   ". Check that this account may write that folder and that the disk is not "
                   "full, then start Tarnview again.";
        return Claim::Failed;
    }
    server_ = new QLocalServer(this);
    QLocalServer::removeServer(name_);
    server_->listen(name_);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::answer);
    return Claim::First;
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().startsWith("raise") && raise_)
                raise_();
            socket->disconnectFromServer();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace tarn
