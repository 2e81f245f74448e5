// A daily limit whose minutes can not be stored is no limit: the sign-on is refused, naming the
// hive and the permissions it needs.
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>

#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class StorageTest : public test::TempEnv {};

// What the probe says for `user` of `group`, run as nobody.
std::string signOnAsNobody(const std::filesystem::path& config, const char* group,
                           const char* user) {
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config.string()));
    probe.setProcessEnvironment(env);
    probe.start(
        QStringLiteral(TARN_SIGN_ON_PROBE),
        {QStringLiteral("as-nobody"), QString::fromLatin1(group), QString::fromLatin1(user)});
    probe.waitForFinished(30000);
    return probe.readAllStandardOutput().trimmed().toStdString();
}

TEST_F(StorageTest, ADailyLimitIsRefusedWhereTheMachineHiveMayOnlyBeRead) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can start a process as another user";
    }
    // Others may pass through the test folder and read the machine hive's folder.
    ASSERT_EQ(chmod(root.c_str(), 0711), 0);
    std::filesystem::create_directories(machineHive.parent_path());
    ASSERT_EQ(chmod(machineHive.parent_path().c_str(), 0755), 0);
    for (const char* group : {"Kids", "Staff"}) {
        SettingsStore store(kTarnviewRoot);
        store.set_root(Hive::LocalMachine);
        store.open_key(std::string(kGroupsKey) + "\\" + group, true);
        store.write_int("", "iGroupMaxUsage", std::string(group) == "Kids" ? 60 : 0);
        store.write_string("Users\\ann", "sUserGroup", group);
    }
    // Nobody's own hive, in a folder of nobody's; the machine's holds the policy.
    const std::filesystem::path config = root / "nobody";
    std::filesystem::create_directories(config);
    ASSERT_EQ(chown(config.c_str(), 65534, 65534), 0);

    const std::string refused = signOnAsNobody(config, "Kids", "ann");
    EXPECT_THAT(refused, StartsWith("refused\tThe minutes of your group's daily limits can not be "
                                    "kept: this account may read the settings file " +
                                    machineHive.string() + " but not write it."));
    EXPECT_THAT(refused, HasSubstr("mode 0664, in a folder of mode 2775"));
    EXPECT_EQ(signOnAsNobody(config, "Staff", "ann"), "read") << "no limit, nothing to keep";
}

}  // namespace
}  // namespace tarn
