#include "platform/paths.h"

#include <gtest/gtest.h>

#include "temp_env.h"

namespace tarn {
namespace {

class PathsTest : public test::TempEnv {};

TEST_F(PathsTest, FoldersFollowTheEnvironment) {
    EXPECT_EQ(configFolder(), configHome / "tarnview");
    EXPECT_EQ(dataFolder(), dataHome / "tarnview");
    EXPECT_EQ(userHiveFile(), configHome / "tarnview" / "user.hive");
    EXPECT_EQ(machineHiveFile(), machineHive);
    unsetenv("TARNVIEW_MACHINE_HIVE");
    EXPECT_EQ(machineHiveFile(), "/var/lib/tarnview/machine.hive");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", root.c_str(), 1);
    EXPECT_EQ(dataFolder(), root / ".local/share/tarnview");
}

TEST_F(PathsTest, WindowsStylePathsMapBelowTheDataFolder) {
    const std::filesystem::path drives = dataHome / "tarnview";
    struct Case {
        const char* input;
        std::filesystem::path expected;
    } cases[] = {
        {"c:\\tarnview", drives / "c/tarnview"},
        {"C:\\tarnview\\Kids\\Ann\\", drives / "c/tarnview/Kids/Ann/"},
        {"c:\\tarnview.log", drives / "c/tarnview.log"},
        {"d:\\lists\\bad.txt", drives / "d/lists/bad.txt"},
        {"c:", drives / "c"},
        {"c:notes.txt", drives / "c/notes.txt"},
        {"\\tarnview\\x.txt", drives / "c/tarnview/x.txt"},
        {"/etc/hosts", "/etc/hosts"},
        {"/tmp/a\\b", "/tmp/a\\b"},
        {"relative\\file.txt", "relative/file.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mapPath(c.input), c.expected) << c.input;
    }
}

TEST_F(PathsTest, PathsOnMappedDrivesAreWrittenBackWindowsStyleAndTheDrivesListed) {
    const std::filesystem::path drives = dataHome / "tarnview";
    for (const char* written : {"c:\\", "c:\\tarnview", "d:\\lists\\kids"}) {
        EXPECT_EQ(windowsStylePath(mapPath(written)), written) << written;
    }
    EXPECT_EQ(windowsStylePath(drives / "c" / "a" / ".." / "b"), "c:\\b");
    EXPECT_EQ(windowsStylePath("/etc"), "/etc");
    EXPECT_EQ(windowsStylePath(drives / "Favorites"), (drives / "Favorites").string());

    EXPECT_EQ(mappedDrives(), "c");
    std::filesystem::create_directories(drives / "e");
    std::filesystem::create_directories(drives / "d");
    std::filesystem::create_directories(drives / "long-name");
    EXPECT_EQ(mappedDrives(), "cde");
}

}  // namespace
}  // namespace tarn
