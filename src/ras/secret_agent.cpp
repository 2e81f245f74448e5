#include "ras/secret_agent.h"

#include <QDBusMessage>
#include <QDBusMetaType>

namespace tarn {
namespace {

const QString kAgentPath = QStringLiteral("/org/freedesktop/NetworkManager/SecretAgent");

void callAgentManager(QDBusConnection& bus, const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.NetworkManager"),
        QStringLiteral("/org/freedesktop/NetworkManager/AgentManager"),
        QStringLiteral("org.freedesktop.NetworkManager.AgentManager"), method);
    message.setArguments(arguments);
    bus.call(message, QDBus::Block, 10000);
}

}  // namespace

SecretAgent::SecretAgent(QString userName, QString password)
    : userName_(std::move(userName)), password_(std::move(password)) {}

NmSettings SecretAgent::GetSecrets(const NmSettings&, const QDBusObjectPath&,
                                   const QString& setting, const QStringList&, uint) {
    QVariantMap secrets;
    if (!userName_.isEmpty())
        secrets.insert(QStringLiteral("username"), userName_);
    if (!password_.isEmpty())
        secrets.insert(QStringLiteral("password"), password_);
    return {{setting, secrets}};
}

void SecretAgent::CancelGetSecrets(const QDBusObjectPath&, const QString&) {}

// Nothing of the group's is ever kept by NetworkManager.
void SecretAgent::SaveSecrets(const NmSettings&, const QDBusObjectPath&) {}

void SecretAgent::DeleteSecrets(const NmSettings&, const QDBusObjectPath&) {}

SecretAgentSession::SecretAgentSession(QDBusConnection bus, const QString& userName,
                                       const QString& password)
    : bus_(std::move(bus)), agent_(new SecretAgent(userName, password)) {
    qDBusRegisterMetaType<NmSettings>();
    agent_->moveToThread(&thread_);
    thread_.start();
    bus_.registerObject(kAgentPath, agent_, QDBusConnection::ExportAllSlots);
    callAgentManager(bus_, QStringLiteral("Register"), {QStringLiteral("org.tarnview.dial")});
}

SecretAgentSession::~SecretAgentSession() {
    callAgentManager(bus_, QStringLiteral("Unregister"), {});
    bus_.unregisterObject(kAgentPath);
    thread_.quit();
    thread_.wait();
    delete agent_;
}

}  // namespace tarn
