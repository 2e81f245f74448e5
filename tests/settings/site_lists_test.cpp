#include "settings/site_lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "hive_probe.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

ListEntries entriesOf(const std::vector<std::string>& texts) {
    ListEntries entries;
    for (const std::string& text : texts) {
        entries.push_back(text);
    }
    return entries;
}

std::vector<std::string> shown(const ListEntries& entries) {
    std::vector<std::string> texts;
    for (size_t i = 0; i < entries.size(); ++i) {
        texts.emplace_back(entries[i]);
    }
    return texts;
}

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

// How many values stored both before and after a change moved in the order.
int movedValues(const std::map<std::string, std::int64_t>& before,
                const std::map<std::string, std::int64_t>& after) {
    int moved = 0;
    for (const auto& [name, order] : before) {
        const auto found = after.find(name);
        moved += found != after.end() && found->second != order ? 1 : 0;
    }
    return moved;
}

TEST_F(SiteListsTest, OneEntryChangedStoresWhatSavingTheWholeBoxWould) {
    enum Op { Add, Edit, Delete };
    struct Case {
        const char* what;
        std::vector<std::string> box;
        Op op;
        size_t index;
        std::string text;
        int moved;  // values that keep their entry but not their place in the order
    };
    const Case cases[] = {
        {"a new entry", {"a.example", "b.example"}, Add, 0, "c.example", 0},
        {"the first entry of an empty part", {}, Add, 0, "a.example", 0},
        {"another spelling of a stored entry", {"a.example", "b.example"}, Add, 0, "B.EXAMPLE", 0},
        {"an entry again", {"a.example", "b.example"}, Add, 0, "a.example", 0},
        {"an edit moves the entry last", {"a", "b", "c", "d"}, Edit, 1, "x", 0},
        {"an edit into its own other spelling", {"a", "b", "c"}, Edit, 0, "A", 1},
        {"an edit into an entry stored further on", {"a", "b", "c"}, Edit, 0, "C", 0},
        {"an edit of the only entry", {"a"}, Edit, 0, "b", 0},
        {"an edit of the stored spelling when a later one is shown",
         {"a", "b", "c", "A", "d"},
         Edit,
         0,
         "x",
         3},
        {"an edit of the stored spelling into itself when a later one is shown",
         {"a", "b", "A"},
         Edit,
         0,
         "a",
         2},
        {"an edit of a spelling that is not stored", {"a", "b", "A"}, Edit, 2, "z", 0},
        {"a delete in the middle", {"a", "b", "c"}, Delete, 1, "", 0},
        {"a delete of the last entry", {"a"}, Delete, 0, "", 0},
        {"a delete of the stored spelling with a later one shown",
         {"a", "b", "c", "A", "d"},
         Delete,
         0,
         "",
         3},
        {"a delete of the stored spelling with entries shown twice before the later one",
         {"a", "b", "c", "B", "A", "d"},
         Delete,
         0,
         "",
         3},
        {"a delete of the stored spelling with the later one next",
         {"a", "A", "b"},
         Delete,
         0,
         "",
         0},
        {"a delete of the same text shown twice", {"a", "b", "a"}, Delete, 0, "", 2},
        {"a delete of a spelling that is not stored", {"a", "b", "A"}, Delete, 2, "", 0},
    };
    for (const ListFamily family : {ListFamily::URLInclusion, ListFamily::WordExclusion}) {
        const std::string part =
            family == ListFamily::URLInclusion ? "URLInclusion\\" : "WordExclusion\\";
        const std::string changedKey = adminPath((part + "Changed").c_str());
        for (const Case& c : cases) {
            saveListPart(family, "Changed", c.box);
            const auto before = test::storedValueOrders(Hive::CurrentUser, changedKey);
            ListEntries box = entriesOf(c.box);
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
            EXPECT_EQ(shown(box), whole) << c.what;
            EXPECT_EQ(loadListPart(family, "Changed"), loadListPart(family, "Whole")) << c.what;
            EXPECT_EQ(test::keyExists(Hive::CurrentUser, changedKey),
                      test::keyExists(Hive::CurrentUser, adminPath((part + "Whole").c_str())))
                << c.what;
            EXPECT_EQ(movedValues(before, test::storedValueOrders(Hive::CurrentUser, changedKey)),
                      c.moved)
                << c.what;
        }
    }
}

TEST_F(SiteListsTest, EntriesMovedUpLeaveTheValuesOfOtherListsInPlace) {
    // Lists edited by turns hold values whose places in the order interleave.
    ListEntries box, beside;
    for (const char* entry : {"a", "b", "c", "A", "d"}) {
        addListEntry(ListFamily::URLExclusion, "Mixed", box, entry);
        addListEntry(ListFamily::URLExclusion, "Beside", beside, std::string("beside-") + entry);
    }
    const std::string besideKey = adminPath("URLExclusion\\Beside");
    const auto besideBefore = test::storedValueOrders(Hive::CurrentUser, besideKey);

    deleteListEntry(ListFamily::URLExclusion, "Mixed", box, 0);
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Mixed"), ElementsAre("b", "c", "A", "d"));
    EXPECT_EQ(test::storedValueOrders(Hive::CurrentUser, besideKey), besideBefore);
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Beside"),
                ElementsAre("beside-a", "beside-b", "beside-c", "beside-d"));
}

TEST_F(SiteListsTest, AnEntryChangeTheStoreRefusesLeavesTheBoxAsItWas) {
    ListEntries box = entriesOf({"a.example", "b.example"});
    saveListPart(ListFamily::URLExclusion, "Kept", shown(box));
    EXPECT_THROW(deleteListEntry(ListFamily::URLExclusion, "Kept", box, 2), std::out_of_range);
    EXPECT_THROW(addListEntry(ListFamily::URLExclusion, "Bad\\Name", box, "c.example"),
                 SettingsError);
    EXPECT_THAT(shown(box), ElementsAre("a.example", "b.example"));
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Kept"),
                ElementsAre("a.example", "b.example"));
}

TEST_F(SiteListsTest, AnEntryEditedIntoTheTextOfAnotherShownTakesThatText) {
    ListEntries box = entriesOf({"a.example", "b.example", "c.example"});
    saveListPart(ListFamily::URLExclusion, "Twice", shown(box));
    editListEntry(ListFamily::URLExclusion, "Twice", box, 0, box[2]);
    EXPECT_THAT(shown(box), ElementsAre("b.example", "c.example", "c.example"));
    EXPECT_THAT(loadListPart(ListFamily::URLExclusion, "Twice"),
                ElementsAre("b.example", "c.example"));
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
