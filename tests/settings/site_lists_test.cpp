#include "settings/site_lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hive_probe.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string adminPath(const char* relative) {
    return std::string(kAdminKey) + "\\" + relative;
}

class SiteListsTest : public test::TempEnv {};

TEST_F(SiteListsTest, DefaultNamesStandFirstOnce) {
    EXPECT_THAT(listInclusionListNames(), ElementsAre("Default Inclusion List"));
    EXPECT_THAT(listExclusionListNames(), ElementsAre("Default Exclusion List"));

    createInclusionList("school");
    createInclusionList("default inclusion LIST");
    createInclusionList("Animals");
    createExclusionList("Adult");
    createExclusionList("DEFAULT EXCLUSION LIST");
    EXPECT_THAT(listInclusionListNames(),
                ElementsAre("Default Inclusion List", "Animals", "school"));
    EXPECT_THAT(listExclusionListNames(), ElementsAre("Default Exclusion List", "Adult"));
}

TEST_F(SiteListsTest, EditorIsOfferedListsThatHaveKeys) {
    EXPECT_THAT(offeredInclusionListNames(), IsEmpty());
    EXPECT_THAT(offeredExclusionListNames(), IsEmpty());

    saveListPart(ListFamily::URLInclusion, kDefaultInclusionList, {"kids.example"});
    EXPECT_THAT(offeredInclusionListNames(), ElementsAre("Default Inclusion List"));

    // Exclusion lists are named by their URL parts, else by file parts, else by word parts.
    saveListPart(ListFamily::WordExclusion, "Words", {"poker"});
    EXPECT_THAT(offeredExclusionListNames(), ElementsAre("Words"));
    saveListPart(ListFamily::URLExclIni, "Files", {"c:\\bad.txt"});
    EXPECT_THAT(offeredExclusionListNames(), ElementsAre("Files"));
    saveListPart(ListFamily::URLExclusion, "Sites", {"casino.example"});
    EXPECT_THAT(offeredExclusionListNames(), ElementsAre("Sites"));

    saveListPart(ListFamily::URLExclusion, "Sites", {});
    EXPECT_THAT(offeredExclusionListNames(), ElementsAre("Files"));
}

TEST_F(SiteListsTest, PartsSaveAndLoadInOrder) {
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Never Saved"), IsEmpty());

    saveListPart(ListFamily::URLExclusion, "Adult", {"zz.example", "aa.example", "mm.example"});
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Adult"),
                ElementsAre("zz.example", "aa.example", "mm.example"));
    EXPECT_THAT(test::storedText(Hive::CurrentUser, adminPath("URLExclusion\\Adult"), "aa.example"),
                "1");

    // An edit moves the entry to the end, and the part is rewritten in the new order.
    saveListPart(ListFamily::URLExclusion, "Adult", {"zz.example", "mm.example", "bb.example"});
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Adult"),
                ElementsAre("zz.example", "mm.example", "bb.example"));
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Other"), IsEmpty());
}

TEST_F(SiteListsTest, EntriesDifferingInCaseCollapse) {
    saveListPart(ListFamily::WordExclusion, "Adult", {"poker", "POKER", "dice"});
    EXPECT_THAT(loadListPart(ListFamily::WordExclusion, "Adult"), ElementsAre("poker", "dice"));
}

TEST_F(SiteListsTest, EmptyingOnePartRemovesOnlyItsKey) {
    createExclusionList("Adult");
    saveListPart(ListFamily::URLExclusion, "Adult", {"casino.example"});
    saveListPart(ListFamily::WordExclusion, "Adult", {"poker"});
    saveListPart(ListFamily::URLExclIni, "Adult", {"c:\\bad.txt"});

    saveListPart(ListFamily::WordExclusion, "Adult", {});
    EXPECT_FALSE(test::keyExists(Hive::CurrentUser, adminPath("WordExclusion\\Adult")));
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Adult"), ElementsAre("casino.example"));
    EXPECT_THAT(loadListPart(ListFamily::URLExclIni, "Adult"), ElementsAre("c:\\bad.txt"));
}

TEST_F(SiteListsTest, OneEntryChangedStoresWhatSavingTheWholeBoxWould) {
    enum Op { Add, Edit, Delete };
    struct Case {
        const char* what;
        std::vector<std::string> box;
        Op op;
        size_t index;
        std::string text;
    };
    const Case cases[] = {
        {"a new entry", {"a.example", "b.example"}, Add, 0, "c.example"},
        {"the first entry of an empty part", {}, Add, 0, "a.example"},
        {"another spelling of a stored entry", {"a.example", "b.example"}, Add, 0, "B.EXAMPLE"},
        {"an entry again", {"a.example", "b.example"}, Add, 0, "a.example"},
        {"an edit moves the entry last", {"a", "b", "c", "d"}, Edit, 1, "x"},
        {"an edit into its own other spelling", {"a", "b", "c"}, Edit, 0, "A"},
        {"an edit into an entry stored further on", {"a", "b", "c"}, Edit, 0, "C"},
        {"an edit of the only entry", {"a"}, Edit, 0, "b"},
        {"an edit of the stored spelling when a later one is shown",
         {"a", "b", "c", "A", "d"},
         Edit,
         0,
         "x"},
        {"an edit of a spelling that is not stored", {"a", "b", "A"}, Edit, 2, "z"},
        {"a delete in the middle", {"a", "b", "c"}, Delete, 1, ""},
        {"a delete of the last entry", {"a"}, Delete, 0, ""},
        {"a delete of the stored spelling with a later one shown",
         {"a", "b", "c", "A", "d"},
         Delete,
         0,
         ""},
        {"a delete of the same text shown twice", {"a", "b", "a"}, Delete, 0, ""},
        {"a delete of a spelling that is not stored", {"a", "b", "A"}, Delete, 2, ""},
    };
    for (const ListFamily family : {ListFamily::URLInclusion, ListFamily::WordExclusion}) {
        for (const Case& c : cases) {
            saveListPart(family, "Changed", c.box);
            std::vector<std::string> box = c.box;
            // What the window shows afterwards, saved whole: the stored result to match.
            std::vector<std::string> whole = c.box;
            switch (c.op) {
                case Add:
                    addListEntry(family, "Changed", box, c.text);
                    whole.push_back(c.text);
                    break;
                case Edit:
                    editListEntry(family, "Changed", box, c.index, c.text);
                    whole.erase(whole.begin() + static_cast<std::ptrdiff_t>(c.index));
                    whole.push_back(c.text);
                    break;
                case Delete:
                    deleteListEntry(family, "Changed", box, c.index);
                    whole.erase(whole.begin() + static_cast<std::ptrdiff_t>(c.index));
                    break;
            }
            saveListPart(family, "Whole", whole);
            EXPECT_EQ(box, whole) << c.what;
            EXPECT_EQ(loadListPart(family, "Changed"), loadListPart(family, "Whole")) << c.what;
            const std::string part =
                family == ListFamily::URLInclusion ? "URLInclusion\\" : "WordExclusion\\";
            EXPECT_EQ(test::keyExists(Hive::CurrentUser, adminPath((part + "Changed").c_str())),
                      test::keyExists(Hive::CurrentUser, adminPath((part + "Whole").c_str())))
                << c.what;
        }
    }
}

TEST_F(SiteListsTest, AnEntryChangeTheStoreRefusesLeavesTheBoxAsItWas) {
    std::vector<std::string> box = {"a.example", "b.example"};
    saveListPart(ListFamily::URLExclusion, "Kept", box);
    EXPECT_THROW(deleteListEntry(ListFamily::URLExclusion, "Kept", box, 2), std::out_of_range);
    EXPECT_THROW(addListEntry(ListFamily::URLExclusion, "Bad\\Name", box, "c.example"),
                 SettingsError);
    EXPECT_THAT(box, ElementsAre("a.example", "b.example"));
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Kept"),
                ElementsAre("a.example", "b.example"));
}

TEST_F(SiteListsTest, ListsAreCreatedAndDeletedWithAllTheirParts) {
    createExclusionList("Adult");
    createExclusionList("Games");
    createInclusionList("School");
    for (const char* part : {"URLExclusion\\Adult", "WordExclusion\\Adult", "URLExclIni\\Adult",
                             "URLInclusion\\School"}) {
        EXPECT_TRUE(test::keyExists(Hive::CurrentUser, adminPath(part))) << part;
    }
    saveListPart(ListFamily::WordExclusion, "Adult", {"poker"});

    deleteExclusionList("Adult");
    deleteInclusionList("School");
    for (const char* part : {"URLExclusion\\Adult", "WordExclusion\\Adult", "URLExclIni\\Adult",
                             "URLInclusion\\School"}) {
        EXPECT_FALSE(test::keyExists(Hive::CurrentUser, adminPath(part))) << part;
    }
    EXPECT_TRUE(test::keyExists(Hive::CurrentUser, adminPath("WordExclusion\\Games")));
}

TEST_F(SiteListsTest, NamesThatWouldHitAWholeFamilyAreRefused) {
    createInclusionList("School");
    createExclusionList("Adult");
    for (const char* name : {"", "School\\x"}) {
        EXPECT_THROW(deleteInclusionList(name), SettingsError) << name;
        EXPECT_THROW(deleteExclusionList(name), SettingsError) << name;
        EXPECT_THROW(saveListPart(ListFamily::URLInclusion, name, {}), SettingsError) << name;
        EXPECT_THAT(loadListPart(ListFamily::URLInclusion, name), IsEmpty()) << name;
    }
    EXPECT_THAT(offeredInclusionListNames(), ElementsAre("School"));
    EXPECT_THAT(offeredExclusionListNames(), ElementsAre("Adult"));
}

}  // namespace
}  // namespace tarn
