// The dial-up networking library over NetworkManager, on the system bus through QtDBus. Its
// phone-book entries are NetworkManager's connection profiles (not the generated, volatile or
// external ones NetworkManager makes itself), found by name without regard to case, the first
// match winning. A dial activates the profile and waits until NetworkManager says it is up or
// has failed; a hang-up deactivates it and waits until it has gone. A connection handle is the
// number NetworkManager gives the active connection, so it holds from one load of the library
// to the next.
//
// Each call opens a bus connection of its own and closes it before returning, so nothing of
// Qt's bus machinery refers into the library once the program unloads it.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "ras/ras_api.h"
#include "ras/ras_records.h"
#include "ras/secret_agent.h"

#define RAS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManager = QStringLiteral("org.freedesktop.NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettings = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kProfile = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kActive = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kDevice = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kActivePrefix = QStringLiteral("/org/freedesktop/NetworkManager/ActiveConnection/");

// Profiles NetworkManager made on its own are no phone-book entries.
constexpr quint32 kGeneratedVolatileOrExternal = 0x2 | 0x4 | 0x8;
constexpr quint32 kActivated = 2;
constexpr quint32 kDeactivated = 4;
// A failed activation's device state reason, as an error code of this library.
constexpr RasDword kReasonBase = 20000;
constexpr RasDword kNoBus = 20900;
constexpr RasDword kRefused = 20901;
constexpr int kDialSeconds = 120;
constexpr int kHangUpSeconds = 30;
constexpr int kPollMs = 50;

using Settings = tarn::NmSettings;

// One private connection to the system bus for the length of one call.
class Bus {
  public:
    Bus()
        : name_(QStringLiteral("tarnras-%1").arg(++counter_)),
          bus_(QDBusConnection::connectToBus(QDBusConnection::SystemBus, name_)) {
        qDBusRegisterMetaType<Settings>();
    }
    ~Bus() { QDBusConnection::disconnectFromBus(name_); }
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    bool connected() const { return bus_.isConnected(); }
    QDBusConnection& connection() { return bus_; }

    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
        message.setArguments(arguments);
        return bus_.call(message, QDBus::Block, 10000);
    }

    std::optional<QVariant> property(const QString& path, const QString& interface,
                                     const QString& name) {
        const QDBusMessage reply = call(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return std::nullopt;
        return reply.arguments().at(0).value<QDBusVariant>().variant();
    }

    QList<QDBusObjectPath> paths(const QVariant& value) {
        return qdbus_cast<QList<QDBusObjectPath>>(value);
    }

  private:
    static inline std::atomic<int> counter_{0};
    QString name_;
    QDBusConnection bus_;
};

bool sameName(const QString& a, const char* b) {
    return a.compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

struct Profile {
    QString path;
    QString name;
};

// The phone book: the profiles a person made, in NetworkManager's order.
QList<Profile> phonebook(Bus& bus) {
    QList<Profile> profiles;
    const QDBusMessage reply =
        bus.call(kSettingsPath, kSettings, QStringLiteral("ListConnections"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return profiles;
    for (const QDBusObjectPath& path : bus.paths(reply.arguments().at(0))) {
        const auto flags = bus.property(path.path(), kProfile, QStringLiteral("Flags"));
        if (flags && (flags->toUInt() & kGeneratedVolatileOrExternal))
            continue;
        const QDBusMessage settings =
            bus.call(path.path(), kProfile, QStringLiteral("GetSettings"));
        if (settings.type() != QDBusMessage::ReplyMessage || settings.arguments().isEmpty())
            continue;
        const auto values = qdbus_cast<Settings>(settings.arguments().at(0));
        profiles.append(
            {path.path(),
             values.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString()});
    }
    return profiles;
}

std::optional<Profile> findProfile(Bus& bus, const char* entry) {
    for (const Profile& profile : phonebook(bus)) {
        if (sameName(profile.name, entry))
            return profile;
    }
    return std::nullopt;
}

QList<QDBusObjectPath> activeConnections(Bus& bus) {
    const auto value = bus.property(kManagerPath, kManager, QStringLiteral("ActiveConnections"));
    return value ? bus.paths(*value) : QList<QDBusObjectPath>();
}

HRASCONN handleOf(const QString& activePath) {
    return activePath.startsWith(kActivePrefix) ? activePath.mid(kActivePrefix.size()).toUInt() : 0;
}

QString pathOf(HRASCONN handle) {
    return kActivePrefix + QString::number(handle);
}

bool isActive(Bus& bus, const QString& activePath) {
    const QList<QDBusObjectPath> actives = activeConnections(bus);
    return std::any_of(actives.begin(), actives.end(),
                       [&](const QDBusObjectPath& path) { return path.path() == activePath; });
}

std::optional<QString> activeOf(Bus& bus, const QString& profilePath) {
    for (const QDBusObjectPath& active : activeConnections(bus)) {
        const auto profile = bus.property(active.path(), kActive, QStringLiteral("Connection"));
        if (profile && profile->value<QDBusObjectPath>().path() == profilePath)
            return active.path();
    }
    return std::nullopt;
}

// The reason the first device of an activation gives for its state, as an error code.
RasDword failureOf(Bus& bus, const QList<QDBusObjectPath>& devices) {
    if (devices.isEmpty())
        return kReasonBase;
    const auto reason =
        bus.property(devices.first().path(), kDevice, QStringLiteral("StateReason"));
    if (!reason)
        return kReasonBase;
    const QDBusArgument argument = reason->value<QDBusArgument>();
    quint32 state = 0;
    quint32 why = 0;
    argument.beginStructure();
    argument >> state >> why;
    argument.endStructure();
    return kReasonBase + why;
}

void copyText(char* target, size_t size, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    tarn::copyRecordText(target, size,
                         std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// Device state reasons of NetworkManager that a dial meets, and what to tell the person.
const char* reasonText(RasDword reason) {
    switch (reason) {
        case 5:
            return "The network configuration could not be set up.";
        case 7:
            return "Secrets were needed but none were given: check the user name and password.";
        case 8:
            return "The supplicant could not connect.";
        case 9:
            return "The supplicant configuration failed.";
        case 11:
        case 12:
            return "The connection could not be authorised: check the user name and password.";
        case 13:
            return "The dial-up connection (PPP) could not be started.";
        case 14:
            return "The dial-up connection (PPP) was disconnected.";
        case 15:
            return "The dial-up connection (PPP) failed.";
        case 17:
        case 18:
            return "No address could be obtained for the connection.";
        case 23:
            return "The modem is busy.";
        case 24:
            return "There is no dial tone.";
        case 25:
            return "There is no carrier.";
        case 26:
            return "The dial timed out.";
        case 27:
            return "The dial failed.";
        case 28:
            return "The modem could not be set up.";
        case 36:
            return "The connection was taken down.";
        case 38:
            return "The carrier or the link changed.";
        case 39:
            return "The device is needed by another connection.";
        case 42:
            return "The network device was removed.";
        default:
            return nullptr;
    }
}

std::string errorText(std::uint32_t code) {
    switch (code) {
        case kRasErrorInvalidHandle:
            return "The connection is not active.";
        case kRasErrorBufferTooSmall:
            return "The buffer is too small.";
        case kRasErrorCannotFindEntry:
            return "There is no NetworkManager connection of that name.";
        case kRasErrorPortNotAvailable:
            return "The connection is already active.";
        case kRasErrorInvalidSize:
            return "The record has the wrong size.";
        case kNoBus:
            return "NetworkManager can not be reached on the system bus.";
        case kRefused:
            return "NetworkManager refused the request.";
        default:
            break;
    }
    if (code >= kReasonBase && code < kNoBus) {
        if (const char* text = reasonText(code - kReasonBase))
            return text;
        return "NetworkManager could not bring the connection up (reason " +
               std::to_string(code - kReasonBase) + ").";
    }
    return "Dial-up networking error " + std::to_string(code) + ".";
}

// The call's bus connection; none without a Qt application (the bus needs one) or a bus.
std::unique_ptr<Bus> openBus() {
    if (!QCoreApplication::instance())
        return nullptr;
    auto bus = std::make_unique<Bus>();
    return bus->connected() ? std::move(bus) : nullptr;
}

}  // namespace

RAS_EXPORT RasDword RasDialA(void*, const char*, RASDIALPARAMSA* params, RasDword, void*,
                             HRASCONN* connection) {
    if (!params || !connection || params->dwSize != sizeof(RASDIALPARAMSA))
        return kRasErrorInvalidSize;
    *connection = 0;
    const auto bus = openBus();
    if (!bus)
        return kNoBus;
    params->szEntryName[kRasMaxEntryName] = '\0';
    const auto profile = findProfile(*bus, params->szEntryName);
    if (!profile)
        return kRasErrorCannotFindEntry;
    // Activating again would silently replace the line that is up.
    if (activeOf(*bus, profile->path))
        return kRasErrorPortNotAvailable;
    params->szUserName[kRasMaxUserName] = '\0';
    params->szPassword[kRasMaxPassword] = '\0';
    std::optional<tarn::SecretAgentSession> agent;
    if (params->szUserName[0] != '\0' || params->szPassword[0] != '\0') {
        agent.emplace(bus->connection(), QString::fromUtf8(params->szUserName),
                      QString::fromUtf8(params->szPassword));
    }
    const QDBusMessage reply =
        bus->call(kManagerPath, kManager, QStringLiteral("ActivateConnection"),
                  {QVariant::fromValue(QDBusObjectPath(profile->path)),
                   QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))),
                   QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return kRefused;
    const QString active = reply.arguments().at(0).value<QDBusObjectPath>().path();
    *connection = handleOf(active);
    const auto devices = bus->property(active, kActive, QStringLiteral("Devices"));
    const QList<QDBusObjectPath> deviceList =
        devices ? bus->paths(*devices) : QList<QDBusObjectPath>();
    const QDeadlineTimer deadline(kDialSeconds * 1000);
    while (!deadline.hasExpired()) {
        const auto state = bus->property(active, kActive, QStringLiteral("State"));
        if (!state || state->toUInt() == kDeactivated)
            return failureOf(*bus, deviceList);
        if (state->toUInt() == kActivated)
            return 0;
        QThread::msleep(kPollMs);
    }
    return kReasonBase + 26;  // timed out
}

RAS_EXPORT RasDword RasHangUpA(HRASCONN connection) {
    const auto bus = openBus();
    if (!bus)
        return kNoBus;
    const QString active = pathOf(connection);
    if (!isActive(*bus, active))
        return kRasErrorInvalidHandle;
    const QDBusMessage reply =
        bus->call(kManagerPath, kManager, QStringLiteral("DeactivateConnection"),
                  {QVariant::fromValue(QDBusObjectPath(active))});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return kRefused;
    const QDeadlineTimer deadline(kHangUpSeconds * 1000);
    while (!deadline.hasExpired()) {
        if (!isActive(*bus, active))
            return 0;
        QThread::msleep(kPollMs);
    }
    return kRefused;
}

RAS_EXPORT RasDword RasEnumConnectionsA(RASCONNA* connections, RasDword* bytes, RasDword* count) {
    if (!connections || !bytes || !count || connections->dwSize != sizeof(RASCONNA))
        return kRasErrorInvalidSize;
    const auto bus = openBus();
    if (!bus)
        return kNoBus;
    const QList<QDBusObjectPath> actives = activeConnections(*bus);
    if (!tarn::recordsFit(actives.size(), sizeof(RASCONNA), bytes, count))
        return kRasErrorBufferTooSmall;
    for (qsizetype i = 0; i < actives.size(); ++i) {
        RASCONNA& record = connections[i];
        std::memset(&record, 0, sizeof record);
        record.dwSize = sizeof(RASCONNA);
        record.hrasconn = handleOf(actives[i].path());
        const auto id = bus->property(actives[i].path(), kActive, QStringLiteral("Id"));
        copyText(record.szEntryName, sizeof record.szEntryName, id ? id->toString() : QString());
        copyText(record.szDeviceType, sizeof record.szDeviceType, QStringLiteral("network"));
        copyText(record.szDeviceName, sizeof record.szDeviceName, QStringLiteral("NetworkManager"));
    }
    return 0;
}

RAS_EXPORT RasDword RasGetConnectStatusA(HRASCONN connection, RASCONNSTATUSA* status) {
    if (!status || status->dwSize != sizeof(RASCONNSTATUSA))
        return kRasErrorInvalidSize;
    const auto bus = openBus();
    if (!bus)
        return kNoBus;
    const auto state = bus->property(pathOf(connection), kActive, QStringLiteral("State"));
    if (!state)
        return kRasErrorInvalidHandle;
    status->rasconnstate = state->toUInt() == kActivated ? kRasConnected : kRasDisconnected;
    status->dwError = 0;
    return 0;
}

RAS_EXPORT RasDword RasGetErrorStringA(std::uint32_t code, char* text, RasDword size) {
    if (!text || size == 0)
        return kRasErrorInvalidSize;
    tarn::copyRecordText(text, size, errorText(code));
    return 0;
}

RAS_EXPORT RasDword RasEnumEntriesA(const char*, const char*, RASENTRYNAMEA* entries,
                                    RasDword* bytes, RasDword* count) {
    if (!entries || !bytes || !count || entries->dwSize != sizeof(RASENTRYNAMEA))
        return kRasErrorInvalidSize;
    const auto bus = openBus();
    if (!bus)
        return kNoBus;
    const QList<Profile> profiles = phonebook(*bus);
    if (!tarn::recordsFit(profiles.size(), sizeof(RASENTRYNAMEA), bytes, count))
        return kRasErrorBufferTooSmall;
    for (qsizetype i = 0; i < profiles.size(); ++i) {
        entries[i].dwSize = sizeof(RASENTRYNAMEA);
        copyText(entries[i].szEntryName, sizeof entries[i].szEntryName, profiles[i].name);
    }
    return 0;
}

RAS_EXPORT RasDword RasGetEntryDialParamsA(const char*, RASDIALPARAMSA* params, RasBool* password) {
    if (!params || params->dwSize != sizeof(RASDIALPARAMSA))
        return kRasErrorInvalidSize;
    const auto bus = openBus();
    if (!bus)
        return kNoBus;
    params->szEntryName[kRasMaxEntryName] = '\0';
    if (!findProfile(*bus, params->szEntryName))
        return kRasErrorCannotFindEntry;
    if (password)
        *password = 0;
    return 0;
}

// Profiles are edited with the desktop's own network settings.
RAS_EXPORT RasDword RasEditPhonebookEntryA(void*, const char*, const char*) {
    return kRefused;
}

RAS_EXPORT RasDword RasCreatePhonebookEntryA(void*, const char*) {
    return kRefused;
}
