// The dial-up library over NetworkManager, against a scripted NetworkManager on a private bus.
#include <gmock/gmock.h>

#include <signal.h>
#include <unistd.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>

#include <array>
#include <filesystem>
#include <optional>

#include "connect/ras_dialer.h"
#include "connect/ras_library.h"
#include "qt_wait.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;

constexpr quint32 kGenerated = 0x2;

// One private bus for the whole test program: the bus library reads the system bus's address
// once per process. Each test gets a fresh scripted NetworkManager on it.
class PrivateBus : public ::testing::Environment {
  public:
    void SetUp() override {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        ASSERT_TRUE(daemon.waitForReadyRead(10000)) << "no private bus";
        address = QString::fromUtf8(daemon.readLine().trimmed());
        // The library finds the system bus here, as libdbus does.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
    }
    void TearDown() override {
        daemon.kill();
        daemon.waitForFinished();
    }

    QProcess daemon;
    QString address;
};

PrivateBus* privateBus = nullptr;
const bool registered = [] {
    privateBus = new PrivateBus;
    ::testing::AddGlobalTestEnvironment(privateBus);
    return true;
}();

// A NetworkManager of the test's on the private bus, and the test's own connection to it.
class BusTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        ASSERT_FALSE(privateBus->address.isEmpty());
        bus.emplace(QDBusConnection::connectToBus(privateBus->address, QStringLiteral("test")));
    }

    void TearDown() override {
        if (networkManager.state() != QProcess::NotRunning) {
            // Its whole process group: a NetworkManager in namespaces brings a udev along.
            ::kill(-static_cast<pid_t>(networkManager.processId()), SIGKILL);
            networkManager.waitForFinished();
        }
        // The next test's NetworkManager must not find this one's name still taken.
        test::waitUntil([&] { return !networkManagerUp(); });
        bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("test"));
        TempEnv::TearDown();
    }

    bool networkManagerUp() {
        return bus->interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.NetworkManager"));
    }

    // Starts `program` in a process group of its own and waits for NetworkManager on the bus.
    bool startNetworkManager(const QString& program, const QStringList& arguments) {
        networkManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        networkManager.setChildProcessModifier([] { ::setpgid(0, 0); });
        networkManager.start(program, arguments);
        return networkManager.waitForStarted() &&
               test::waitUntil([&] { return networkManagerUp(); }, 20000);
    }

    QProcess networkManager;
    std::optional<QDBusConnection> bus;
};

class NetworkManagerTest : public BusTest {
  protected:
    void SetUp() override {
        BusTest::SetUp();
        ASSERT_TRUE(startNetworkManager(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
             QStringLiteral(TARN_NM_TEMPLATE), QStringLiteral("--system")}))
            << "the scripted NetworkManager did not start";
    }

    QVariant mockCall(const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.NetworkManager"),
                                           QStringLiteral("/org/freedesktop/NetworkManager"),
                                           QStringLiteral("org.freedesktop.DBus.Mock"), method);
        message.setArguments(arguments);
        const QDBusMessage reply = bus->call(message);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0);
    }

    void addProfile(const QString& name, quint32 flags, const QString& outcome, int delayMs,
                    quint32 reason = 0, bool secrets = false) {
        mockCall(QStringLiteral("AddProfile"), {name, flags, outcome, delayMs, reason, secrets});
    }

    RasResult run(bool dial, const std::string& entry) {
        statuses.clear();
        return rasDialOrHangUp(dial, {entry, "ann", "secret"}, TARN_NM_LIBRARY,
                               [this](const std::string& text) { statuses.push_back(text); });
    }

    bool up(const std::string& entry) { return rasEntryConnected(entry, TARN_NM_LIBRARY); }

    std::vector<std::string> statuses;
};

TEST_F(NetworkManagerTest, DialsAProfileByNameAndHangsItUp) {
    addProfile(QStringLiteral("School"), 0, QStringLiteral("up"), 300);
    const RasResult dialled = run(true, "school");
    ASSERT_TRUE(dialled.ok) << dialled.message;
    EXPECT_THAT(statuses,
                ElementsAre("Dial: Starting dial-up connection..",
                            "Dial: Dialing and connecting...", "Dial: connection established.."));
    EXPECT_TRUE(up("SCHOOL"));

    const RasResult hungUp = run(false, "School");
    ASSERT_TRUE(hungUp.ok) << hungUp.message;
    EXPECT_FALSE(up("School"));
    EXPECT_EQ(run(false, "School").message, "No active connection to disconnect..");
}

TEST_F(NetworkManagerTest, OnlyProfilesAPersonMadeAreEntriesAndTheFirstMatchWins) {
    addProfile(QStringLiteral("School"), kGenerated, QStringLiteral("fail"), 100, 24);
    addProfile(QStringLiteral("SCHOOL"), 0, QStringLiteral("up"), 100);
    addProfile(QStringLiteral("school"), 0, QStringLiteral("fail"), 100, 24);
    const RasLibrary ras(TARN_NM_LIBRARY);
    ASSERT_TRUE(ras.loaded());
    std::array<RASENTRYNAMEA, 8> entries{};
    entries[0].dwSize = sizeof(RASENTRYNAMEA);
    RasDword bytes = sizeof entries;
    RasDword count = 0;
    ASSERT_EQ(ras.RasEnumEntriesA(nullptr, nullptr, entries.data(), &bytes, &count), 0u);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(entries[0].szEntryName, "SCHOOL");
    EXPECT_STREQ(entries[1].szEntryName, "school");

    const RasResult dialled = run(true, "School");
    EXPECT_TRUE(dialled.ok) << dialled.message;
}

TEST_F(NetworkManagerTest, AFailedActivationSaysWhyAndALineUpIsNotActivatedAgain) {
    addProfile(QStringLiteral("Modem"), 0, QStringLiteral("fail"), 200, 24);
    EXPECT_EQ(run(true, "Modem").message, "Dial-up connection failed: There is no dial tone.");
    EXPECT_FALSE(up("Modem"));
    EXPECT_EQ(run(true, "Nowhere").message,
              "Dial-up connection failed: There is no NetworkManager connection of that name.");

    addProfile(QStringLiteral("School"), 0, QStringLiteral("up"), 100);
    ASSERT_TRUE(run(true, "School").ok);
    EXPECT_EQ(run(true, "School").message, "You are already connected..");
    EXPECT_EQ(mockCall(QStringLiteral("ActivateCount")).toUInt(), 2u);
}

TEST_F(NetworkManagerTest, TheGroupsSecretsGoToNetworkManagerForTheActivationOnly) {
    addProfile(QStringLiteral("Modem"), 0, QStringLiteral("up"), 100, 0, true);
    const RasResult dialled = run(true, "Modem");
    ASSERT_TRUE(dialled.ok) << dialled.message;
    const auto secrets =
        qdbus_cast<QMap<QString, QString>>(mockCall(QStringLiteral("LastSecrets")));
    EXPECT_EQ(secrets.value(QStringLiteral("username")), QStringLiteral("ann"));
    EXPECT_EQ(secrets.value(QStringLiteral("password")), QStringLiteral("secret"));
    // The agent is gone once the dial is over.
    EXPECT_FALSE(mockCall(QStringLiteral("AgentRegistered")).toBool());
    ASSERT_TRUE(run(false, "Modem").ok);

    // Without a password there is nothing to give, and the profile can not come up.
    const RasResult without = rasDialOrHangUp(true, {"Modem", "", ""}, TARN_NM_LIBRARY, {});
    EXPECT_EQ(without.message,
              "Dial-up connection failed: Secrets were needed but none were given: check the "
              "user name and password.");
}

TEST_F(NetworkManagerTest, ALineTheOtherEndDropsIsNoLongerActive) {
    addProfile(QStringLiteral("School"), 0, QStringLiteral("up"), 100);
    ASSERT_TRUE(run(true, "School").ok);
    mockCall(QStringLiteral("DropLine"), {QStringLiteral("School")});
    EXPECT_FALSE(up("School"));
}

// The real NetworkManager daemon, in a network and mount namespace of its own with a virtual
// ethernet pair and a profile for it, where the machine allows it.
class RealNetworkManagerTest : public BusTest {
  protected:
    void SetUp() override {
        BusTest::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "namespaces for a real NetworkManager need root";
        for (const char* program : {"/usr/sbin/NetworkManager", "/lib/systemd/systemd-udevd"}) {
            if (::access(program, X_OK) != 0)
                GTEST_SKIP() << program << " is not installed";
        }
        const std::filesystem::path folder = root / "networkmanager";
        std::filesystem::create_directories(folder / "profiles");
        test::writeFile(folder / "NetworkManager.conf",
                        "[main]\nplugins=keyfile\nno-auto-default=*\n"
                        "[keyfile]\npath=" +
                            (folder / "profiles").string() +
                            "\nunmanaged-devices=none\n"
                            "[device]\nmatch-device=interface-name:tv0\nmanaged=1\n");
        const auto profile = folder / "profiles" / "School.nmconnection";
        test::writeFile(profile,
                        "[connection]\nid=School\ntype=ethernet\ninterface-name=tv0\n"
                        "autoconnect=false\n[ipv4]\nmethod=manual\naddress1=10.9.9.1/24\n"
                        "[ipv6]\nmethod=disabled\n");
        std::filesystem::permissions(
            profile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        if (!startNetworkManager(
                QStringLiteral("unshare"),
                {QStringLiteral("--net"), QStringLiteral("--mount"), QStringLiteral("sh"),
                 QStringLiteral(TARN_NM_RUNNER), QString::fromStdString(folder.string())}))
            GTEST_SKIP() << "NetworkManager did not start in namespaces of its own here";
        if (!test::waitUntil([&] { return deviceReady(); }, 20000))
            GTEST_SKIP() << "NetworkManager does not manage the virtual ethernet device here";
    }

    // Whether NetworkManager manages tv0: it is at least disconnected (30).
    bool deviceReady() {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.NetworkManager"),
            QStringLiteral("/org/freedesktop/NetworkManager"),
            QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("GetDeviceByIpIface"));
        ask.setArguments({QStringLiteral("tv0")});
        const QDBusMessage device = bus->call(ask);
        if (device.type() != QDBusMessage::ReplyMessage)
            return false;
        QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.NetworkManager"),
            device.arguments().at(0).value<QDBusObjectPath>().path(),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get.setArguments(
            {QStringLiteral("org.freedesktop.NetworkManager.Device"), QStringLiteral("State")});
        const QDBusMessage state = bus->call(get);
        return state.type() == QDBusMessage::ReplyMessage &&
               state.arguments().at(0).value<QDBusVariant>().variant().toUInt() >= 30;
    }
};

TEST_F(RealNetworkManagerTest, BringsAProfileUpAndDown) {
    const RasResult dialled = rasDialOrHangUp(true, {"school", "", ""}, TARN_NM_LIBRARY, {});
    ASSERT_TRUE(dialled.ok) << dialled.message;
    EXPECT_TRUE(rasEntryConnected("SCHOOL", TARN_NM_LIBRARY));
    EXPECT_EQ(rasDialOrHangUp(true, {"School", "", ""}, TARN_NM_LIBRARY, {}).message,
              "You are already connected..");
    const RasResult hungUp = rasDialOrHangUp(false, {"School", "", ""}, TARN_NM_LIBRARY, {});
    ASSERT_TRUE(hungUp.ok) << hungUp.message;
    EXPECT_FALSE(rasEntryConnected("School", TARN_NM_LIBRARY));
}

}  // namespace
}  // namespace tarn
