#include "admin/disk_search.h"

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "temp_env.h"

namespace fs = std::filesystem;

namespace tarn {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// Searches the test's own mapped c: drive.
class DiskSearchTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        drive = dataHome / "tarnview" / "c";
        fs::create_directories(drive);
    }

    std::string search(const std::string& start, const std::string& name = "waol.exe") {
        entered.clear();
        DiskSearch disk(start, name,
                        [this](const std::string& folder) { entered.push_back(folder); });
        return disk.run();
    }

    fs::path drive;
    std::vector<std::string> entered;
};

TEST_F(DiskSearchTest, FindsTheFileTwoFoldersDownAndStopsThere) {
    test::writeFile(drive / "Programs" / "AOL" / "waol.exe", "client");
    fs::create_directories(drive / "Programs" / "AOL" / "Deeper");
    EXPECT_EQ(search("c:\\"), "c:\\Programs\\AOL\\waol.exe");
    EXPECT_THAT(entered, ElementsAre("c:\\Programs", "c:\\Programs\\AOL"));
}

TEST_F(DiskSearchTest, PathsAreWrittenLikeTheStart) {
    test::writeFile(drive / "Top" / "Apps" / "waol.exe", "client");
    struct Case {
        std::string start;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"c:\\", "c:\\Top\\Apps\\waol.exe"},
        {"c:", "c:\\Top\\Apps\\waol.exe"},
        {"C:\\Top", "C:\\Top\\Apps\\waol.exe"},
        {"c:\\Top\\", "c:\\Top\\Apps\\waol.exe"},
        {drive.string(), (drive / "Top" / "Apps" / "waol.exe").string()},
        {"c:\\Top\\Apps", ""},  // the file lies in the start folder itself
        {"c:\\Missing", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(search(c.start), c.expected) << c.start;
}

TEST_F(DiskSearchTest, AFileInTheStartFolderIsNotFound) {
    test::writeFile(drive / "waol.exe", "client");
    fs::create_directories(drive / "Empty");
    EXPECT_EQ(search("c:\\"), "");
    EXPECT_THAT(entered, ElementsAre("c:\\Empty"));
}

TEST_F(DiskSearchTest, NameComparesWithoutLetterCaseAndIsGivenAsFound) {
    fs::create_directories(drive / "A" / "waol.exe");  // a folder of that name is no file
    test::writeFile(drive / "B" / "WAOL.EXE", "client");
    EXPECT_EQ(search("c:\\"), "c:\\B\\WAOL.EXE");
    EXPECT_EQ(search("c:\\", "WaOl.ExE"), "c:\\B\\WAOL.EXE");
}

TEST_F(DiskSearchTest, LinkedFoldersAreNotFollowedSoALoopEnds) {
    fs::create_directories(drive / "a" / "b");
    fs::create_directory_symlink(drive, drive / "a" / "b" / "loop");
    const fs::path elsewhere = root / "elsewhere";
    test::writeFile(elsewhere / "waol.exe", "client");
    fs::create_directory_symlink(elsewhere, drive / "link");
    EXPECT_EQ(search("c:\\"), "");
    EXPECT_THAT(entered, ElementsAre("c:\\a", "c:\\a\\b"));
}

TEST_F(DiskSearchTest, UnreadableFoldersArePassedOver) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    fs::create_directories(drive / "Locked" / "Inside");
    test::writeFile(drive / "Open" / "waol.exe", "client");
    ASSERT_EQ(chmod((drive / "Locked").c_str(), 0), 0);
    EXPECT_EQ(search("c:\\"), "c:\\Open\\waol.exe");
    EXPECT_THAT(entered, Not(Contains(HasSubstr("Inside"))));
    chmod((drive / "Locked").c_str(), 0700);
}

TEST_F(DiskSearchTest, CancelledSearchGivesNothing) {
    fs::create_directories(drive / "One" / "Two");
    test::writeFile(drive / "One" / "Two" / "Three" / "waol.exe", "client");
    std::vector<std::string> seen;
    DiskSearch disk("c:\\", "waol.exe", [&](const std::string& folder) {
        seen.push_back(folder);
        disk.cancel();
    });
    EXPECT_EQ(disk.run(), "");
    EXPECT_TRUE(disk.cancelled());
    EXPECT_THAT(seen, ElementsAre("c:\\One"));
}

}  // namespace
}  // namespace tarn
