#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

namespace tarn {

using NmSettings = QMap<QString, QVariantMap>;

// Answers NetworkManager's requests for secrets with the group's user name and password, so
// they reach NetworkManager for one activation and are never stored in its profile.
class SecretAgent : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.SecretAgent")

  public:
    SecretAgent(QString userName, QString password);

    // The slots spell the settings type out: the bus finds slots by the type names they give.
  public slots:
    QMap<QString, QVariantMap> GetSecrets(const QMap<QString, QVariantMap>& connection,
                                          const QDBusObjectPath& path, const QString& setting,
                                          const QStringList& hints, uint flags);
    void CancelGetSecrets(const QDBusObjectPath& path, const QString& setting);
    void SaveSecrets(const QMap<QString, QVariantMap>& connection, const QDBusObjectPath& path);
    void DeleteSecrets(const QMap<QString, QVariantMap>& connection, const QDBusObjectPath& path);

  private:
    QString userName_, password_;
};

// A secret agent registered on `bus` for as long as this lives, answering on a thread of its
// own while the caller waits for the line.
class SecretAgentSession {
  public:
    SecretAgentSession(QDBusConnection bus, const QString& userName, const QString& password);
    ~SecretAgentSession();
    SecretAgentSession(const SecretAgentSession&) = delete;
    SecretAgentSession& operator=(const SecretAgentSession&) = delete;

  private:
    QDBusConnection bus_;
    QThread thread_;
    SecretAgent* agent_;
};

}  // namespace tarn
