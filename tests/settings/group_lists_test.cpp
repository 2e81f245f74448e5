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

TEST_F(GroupListsTest, ListFilesAreReadAsUtf8OrUtf16AndAnythingElseIsRefusedByName) {
    // "bad.example" and "ünï.example" as an editor saves them.
    const std::string lines = "bad.example\r\n\xC3\xBCn\xC3\xAF.example\r\n";
    const auto utf16 = [&](bool bigEndian) {
        std::string text = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : std::u16string(u"bad.example\r\n\u00FCn\u00EF.example\r\n")) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            text += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return text;
    };
    struct Case {
        const char* name;
        std::string bytes;
    };
    for (const Case& c :
         {Case{"UTF-8", lines}, Case{"UTF-8 with its mark", "\xEF\xBB\xBF" + lines},
          Case{"UTF-16 little endian", utf16(false)}, Case{"UTF-16 big endian", utf16(true)}}) {
        test::writeFile(mapPath("c:\\list.txt"), c.bytes);
        saveListPart(ListFamily::URLExclIni, "Adult", {"c:\\list.txt"});
        EXPECT_THAT(assembleGroupLists(usingLists("Adult", "")).ExclusionList,
                    ElementsAre("bad.example", "\xC3\xBCn\xC3\xAF.example"))
            << c.name;
    }
    for (const Case& c : {Case{"Latin-1", "bad.example\r\n\xFCn\xEF.example\r\n"},
                          Case{"UTF-16 without its mark", utf16(false).substr(2)},
                          Case{"UTF-16 cut in a character", utf16(false) + "x"},
                          Case{"a lone surrogate", std::string("\xFF\xFE\x00\xD8\x61\x00", 6)},
                          Case{"an overlong sequence", "bad\xC0\xAF.example"},
                          Case{"an encoded surrogate", "bad\xED\xA0\x80.example"}}) {
        test::writeFile(mapPath("c:\\list.txt"), c.bytes);
        try {
            assembleGroupLists(usingLists("Adult", ""));
            ADD_FAILURE() << c.name << " was read";
        } catch (const SettingsError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "The list file \"" + mapPath("c:\\list.txt").string() +
                          "\" is not text Tarnview can read: save it as UTF-8, or as UTF-16 with "
                          "its byte-order mark, then sign on again.")
                << c.name;
        }
    }
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
