#include "app/copy_leash.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QUuid>
#include <utility>

namespace tarn {

CopyLeash::CopyLeash(QObject* parent) : QObject(parent) {}

// The server goes with this object, and with it every copy's connection.
CopyLeash::~CopyLeash() = default;

QString CopyLeash::name() {
    if (server_)
        return server_->fullServerName();
    auto* server = new QLocalServer(this);
    // Only this account's processes may connect; the name is new for every main instance.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name =
        QStringLiteral("tarnview-copies-") + QUuid::createUuid().toString(QUuid::Id128);
    if (!server->listen(name)) {
        delete server;
        return {};
    }
    connect(server, &QLocalServer::newConnection, this, &CopyLeash::accept);
    server_ = server;
    return server_->fullServerName();
}

void CopyLeash::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        copies_.append(socket);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void CopyLeash::releaseCopies() {
    for (const QPointer<QLocalSocket>& socket : std::exchange(copies_, {})) {
        if (socket)
            socket->abort();
    }
}

bool CopyLeash::holdOn(const QString& name, std::function<void()> gone) {
    if (name.isEmpty())
        return false;
    hold_ = new QLocalSocket(this);
    hold_->connectToServer(name);
    if (!hold_->waitForConnected(5000)) {
        delete std::exchange(hold_, nullptr);
        return false;
    }
    connect(hold_, &QLocalSocket::disconnected, this, [gone = std::move(gone)] { gone(); });
    return true;
}

}  // namespace tarn
