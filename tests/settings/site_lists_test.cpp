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
