#include "policy/protected_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/hive_file.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

// Both hives, a log at "d:\logs\tarn.log" as the settings name it, the program in a folder of its
// own, and links to some of them from a folder of the user's.
class ProtectedPathsTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        openAdminKey(kAdminKey)->write_string("", "sLogFileLocation", "d:\\logs\\tarn.log");
        SettingsStore machine(kTarnviewRoot);
        machine.set_root(Hive::LocalMachine);
        machine.open_key(kConfigKey, true);
        log = dataHome / "tarnview" / "d" / "logs" / "tarn.log";
        test::writeFile(log, "2026-03-10 10:00:00 Kids Ann http://a.org/\r\n");
        program = root / "program";
        test::writeFile(program / "blank.htm", "blank");
        links = root / "links";
        fs::create_directories(links);
    }

    bool isProtected(const fs::path& target) const { return isProtectedPath(target, program); }

    fs::path log;
    fs::path program;
    fs::path links;
};

TEST_F(ProtectedPathsTest, TarnviewsOwnFilesAndFoldersAreProtected) {
    fs::create_symlink(log, links / "to-log");
    fs::create_hard_link(log, links / "same-log");
    fs::create_directory_symlink(configFolder(), links / "to-settings");
    fs::create_symlink(links / "loop", links / "loop");
    const fs::path cDrive = dataHome / "tarnview" / "c";
    const fs::path cases[] = {
        userHiveFile(),
        userHiveFile().string() + "-wal",
        machineHive,
        machineHive.string() + "-wal",
        machineHive.string() + "-shm",
        machineHive.string() + "-journal",
        log,
        log.parent_path() / "tarnview.bak",
        cDrive / "tarnview.log",
        cDrive / "tarnview.bak",
        cDrive / "tarnlog.log",
        configFolder() / "page.htm",
        configFolder() / "profiles" / "kids" / "ann" / "page.htm",
        configFolder(),
        program / "blank.htm",
        program / "new" / "page.htm",
        root / "elsewhere" / ".." / "machine" / "." / "machine.hive",
        links / "to-log",
        links / "same-log",
        links / "to-settings" / "page.htm",
        links / "loop" / "page.htm",
    };
    for (const fs::path& target : cases) {
        EXPECT_TRUE(isProtected(target)) << target;
    }
}

TEST_F(ProtectedPathsTest, OtherPlacesAreFree) {
    const fs::path cases[] = {
        root / "pages" / "page.htm",
        root / "pages" / "tarnview.bak",
        log.parent_path() / "page.htm",
        machineHive.parent_path() / "page.htm",
        configFolder().string() + "-old/page.htm",
        program.string() + "2/page.htm",
        links / "missing" / ".." / "page.htm",
    };
    for (const fs::path& target : cases) {
        EXPECT_FALSE(isProtected(target)) << target;
    }
}

TEST_F(ProtectedPathsTest, AnUnreadableLogLocationLeavesTheDefaultsProtected) {
    // A number where the location's text should be: reading it fails.
    auto hive = HiveFile::open(Hive::CurrentUser);
    hive->writeValue(*hive->findKey(kRootKey, kAdminKey), "sLogFileLocation", kRegDword,
                     std::string(4, '\0'));
    const fs::path cDrive = dataHome / "tarnview" / "c";
    for (const char* name : {"tarnview.log", "tarnview.bak", "tarnlog.log"}) {
        EXPECT_TRUE(isProtected(cDrive / name)) << name;
    }
}

}  // namespace
}  // namespace tarn
