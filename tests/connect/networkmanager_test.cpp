// The dial-up library over NetworkManager, against a scripted NetworkManager on a private bus.
#include <gmock/gmock.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>

#include <array>
#include <filesystem>
#include <optional>

#include "connect/ras_dialer.h"
#include "connect/ras_library.h"
#include "network_manager_fixture.h"
#include "qt_wait.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;

constexpr quint32 kGenerated = 0x2;

// The system bus of this test program; each test gets a NetworkManager of its own on it.
const test::PrivateSystemBus systemBus;

class BusTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        ASSERT_FALSE(systemBus.address().isEmpty()) << "no private bus";
        networkManager.emplace(systemBus.address());
    }
    void TearDown() override {
        networkManager.reset();
        TempEnv::TearDown();
    }

    std::optional<test::NetworkManagerOnBus> networkManager;
};

class NetworkManagerTest : public BusTest {
  protected:
    void SetUp() override {
        BusTest::SetUp();
        ASSERT_TRUE(networkManager->start(
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
        const QDBusMessage reply = networkManager->bus().call(message);
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

// The real NetworkManager daemon, where the machine allows it.
class RealNetworkManagerTest : public BusTest {
  protected:
    void SetUp() override {
        BusTest::SetUp();
        if (const std::string why = networkManager->startReal(root / "networkmanager");
            !why.empty())
            GTEST_SKIP() << why;
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
