#include "settings/group_lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "settings/list_sources.h"
#include "settings/settings_error.h"
#include "settings/site_lists.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(AppendLines, SplitsAtEveryKindOfLineBreak) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\nb\n\n", {"a", "", "b", ""}},
        {"\r\n", {""}},
        {"a\n\r", {"a", ""}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines{"kept"};
        appendLines(c.text, lines);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "kept");
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), c.lines)
            << "text: " << c.text;
    }
}

class GroupListsTest : public test::TempEnv {
  protected:
    GroupRecord usingLists(const char* exclusion, const char* inclusion) {
        GroupRecord group = editorGroupDefaults();
        group.bGroupUseExcl = true;
        group.sGroupExclList = exclusion;
        group.bGroupUseIncl = true;
        group.sGroupInclList = inclusion;
        return group;
    }
};

TEST_F(GroupListsTest, FileLinesComeBeforeStoredEntries) {
    test::writeFile(mapPath("c:\\lists\\one.txt"), "file1.example\r\nfile2.example\r\n");
    test::writeFile(mapPath("c:\\lists\\two.txt"), "file3.example");
    saveListPart(ListFamily::URLExclIni, "Adult",
                 {"c:\\lists\\two.txt", "c:\\lists\\missing.txt", "c:\\lists\\one.txt"});
    saveListPart(ListFamily::URLExclusion, "Adult", {"stored1.example", "stored2.example"});
    saveListPart(ListFamily::WordExclusion, "Adult", {"poker", "dice"});
    saveListPart(ListFamily::URLInclusion, "School", {"school.example"});

    const GroupLists lists = assembleGroupLists(usingLists("Adult", "School"));
    EXPECT_THAT(lists.ExclusionList, ElementsAre("file3.example", "file1.example", "file2.example",
                                                 "stored1.example", "stored2.example"));
    EXPECT_THAT(lists.WordList, ElementsAre("poker", "dice"));
    EXPECT_THAT(lists.InclusionList, ElementsAre("school.example"));
}

TEST_F(GroupListsTest, MissingFileIsSkippedUntilItExists) {
    saveListPart(ListFamily::URLExclIni, "Adult", {"c:\\later.txt"});
    saveListPart(ListFamily::URLExclusion, "Adult", {"stored.example"});
    EXPECT_THAT(assembleGroupLists(usingLists("Adult", "")).ExclusionList,
                ElementsAre("stored.example"));

    test::writeFile(mapPath("c:\\later.txt"), "late.example\n");
    EXPECT_THAT(assembleGroupLists(usingLists("Adult", "")).ExclusionList,
                ElementsAre("late.example", "stored.example"));
}

TEST_F(GroupListsTest, FileThatExistsButCanNotBeReadIsAnError) {
    std::filesystem::create_directories(mapPath("c:\\folder.txt"));
    saveListPart(ListFamily::URLExclIni, "Adult", {"c:\\folder.txt"});
    EXPECT_THROW(assembleGroupLists(usingLists("Adult", "")), SettingsError);
}

TEST_F(GroupListsTest, SwitchedOffOrUnnamedListsStayEmpty) {
    saveListPart(ListFamily::URLExclusion, "Adult", {"casino.example"});
    saveListPart(ListFamily::WordExclusion, "Adult", {"poker"});
    saveListPart(ListFamily::URLInclusion, "School", {"school.example"});

    GroupRecord off = usingLists("Adult", "School");
    off.bGroupUseExcl = false;
    off.bGroupUseIncl = false;
    GroupRecord unnamed = usingLists("", "");
    GroupRecord deleted = usingLists("Gone", "Gone");
    for (const GroupRecord& group : {off, unnamed, deleted}) {
        const GroupLists lists = assembleGroupLists(group);
        EXPECT_THAT(lists.ExclusionList, IsEmpty());
        EXPECT_THAT(lists.WordList, IsEmpty());
        EXPECT_THAT(lists.InclusionList, IsEmpty());
    }
}

}  // namespace
}  // namespace tarn
