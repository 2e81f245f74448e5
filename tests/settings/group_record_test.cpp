#include "settings/group_record.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hive_probe.h"
#include "settings/password_scramble.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

using ::testing::ElementsAre;

const std::string kStaffKey = std::string(kGroupsKey) + "\\Staff";

class GroupRecordTest : public test::TempEnv {};

// A record in which every value differs from both of its defaults.
GroupRecord changedRecord() {
    GroupRecord r;
    r.bGroupUseExcl = true;
    r.sGroupExclList = "Blocked";
    r.bGroupUseIncl = true;
    r.sGroupInclList = "Allowed";
    r.sGroupFavDir = "d:\\favs";
    r.bGroupAllowAdmin = false;
    r.bGroupAllowConfig = false;
    r.bGroupAllowClose = false;
    r.iGroupMaxUsage = 90;
    r.iGroupMaxTime = 60;
    r.bGroupExtFlag = true;
    r.iGroupExtMins = 10;
    r.bGroupInactFlag = true;
    r.iGroupInactMins = 30;
    r.iStartDialParam = 2;
    r.bDisconnectOnClose = false;
    r.bGroupAOLFlag = true;
    r.bGroupRASFlag = true;
    r.sAOLprogram = "c:\\aol\\aol.exe";
    r.sAOLUserName = "screen";
    r.sAOLPassword = "aol-Secret";
    r.iAOLconnected = 1;
    r.sRASEntry = "Office";
    r.sRASUserName = "dialer";
    r.sRASPassword = "ras-Secret";
    r.bGroupAllowMailLinks = false;
    r.bGroupAllowMailMenu = false;
    r.bGroupAllowReadMail = false;
    r.sGroupReadMailProgram = "mutt";
    r.configChoice = {1, false};
    return r;
}

TEST_F(GroupRecordTest, EditorSaveWritesEveryValueButTheConfigurationChoice) {
    writeGroupRecord("Staff", editorGroupDefaults());
    EXPECT_THAT(
        test::storedValueNames(Hive::CurrentUser, kStaffKey),
        ElementsAre("bGroupUseExcl", "sGroupExclList", "bGroupUseIncl", "sGroupInclList",
                    "sGroupFavDir", "bGroupAllowAdmin", "bGroupAllowConfig", "bGroupAllowClose",
                    "iGroupMaxUsage", "iGroupMaxTime", "bGroupExtFlag", "iGroupExtMins",
                    "bGroupInactFlag", "iGroupInactMins", "iStartDialParam", "bDisconnectOnClose",
                    "bGroupAOLFlag", "bGroupRASFlag", "sAOLprogram", "sAOLUserName", "sAOLPassword",
                    "iAOLconnected", "sRASEntry", "sRASUserName", "sRASPassword",
                    "bGroupAllowMailLinks", "bGroupAllowMailMenu", "bGroupAllowReadMail",
                    "sGroupReadMailProgram"));
    auto stored = [](const char* name) {
        return test::storedText(Hive::CurrentUser, kStaffKey, name).value_or("<absent>");
    };
    EXPECT_EQ(stored("sGroupFavDir"), "c:\\tarnview");
    EXPECT_EQ(stored("bGroupAllowAdmin"), "1");
    EXPECT_EQ(stored("bGroupUseExcl"), "0");
    EXPECT_EQ(stored("iGroupExtMins"), "5");
    EXPECT_EQ(stored("iGroupInactMins"), "15");
    EXPECT_EQ(stored("iStartDialParam"), "0");
    EXPECT_EQ(stored("sAOLPassword"), "");
    EXPECT_EQ(stored("sRASPassword"), "");
}

TEST_F(GroupRecordTest, AbsentValuesTakeEachReadersDefaults) {
    // The setup wizard stores only the favourites folder.
    SettingsStore(std::string(kGroupsKey) + "\\Default Group")
        .write_string("", "sGroupFavDir", "c:\\kids");

    const GroupRecord editor = readGroupForEditor(kDefaultGroup);
    const GroupRecord policy = readGroupPolicy(kDefaultGroup);
    EXPECT_EQ(editor.iStartDialParam, 0);
    EXPECT_EQ(policy.iStartDialParam, 1);
    EXPECT_TRUE(editor.configChoice.bUserModifyConfig);
    EXPECT_FALSE(policy.configChoice.bUserModifyConfig);
    for (const GroupRecord* record : {&editor, &policy}) {
        EXPECT_EQ(record->sGroupFavDir, "c:\\kids");
        EXPECT_TRUE(record->bGroupAllowAdmin);
        EXPECT_TRUE(record->bDisconnectOnClose);
        EXPECT_TRUE(record->bGroupAllowMailLinks);
        EXPECT_FALSE(record->bGroupUseIncl);
        EXPECT_EQ(record->iGroupExtMins, 5);
        EXPECT_EQ(record->iGroupInactMins, 15);
        EXPECT_EQ(record->iGroupMaxUsage, 0);
        EXPECT_EQ(record->configChoice.iUserConfigType, 0);
    }

    writeGroupRecord(kDefaultGroup, editor);
    EXPECT_EQ(readGroupPolicy(kDefaultGroup).iStartDialParam, 0);
    EXPECT_EQ(readGroupPolicy(kDefaultGroup).sGroupFavDir, "c:\\kids");
}

TEST_F(GroupRecordTest, RecordRoundTripsWithPasswordsScrambled) {
    const GroupRecord written = changedRecord();
    writeGroupRecord("Staff", written);
    writeGroupConfigChoice("Staff", written.configChoice);

    EXPECT_EQ(readGroupPolicy("Staff"), written);
    EXPECT_EQ(readGroupForEditor("Staff").sRASPassword, "ras-Secret");
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kStaffKey, "sAOLPassword"),
              scramblePassword("aol-Secret"));
    EXPECT_EQ(test::storedText(Hive::CurrentUser, kStaffKey, "sRASPassword"),
              scramblePassword("ras-Secret"));
}

TEST_F(GroupRecordTest, ConfigurationChoiceIsWrittenApartFromTheRecord) {
    EXPECT_EQ(readGroupConfigChoice("Staff"), (GroupConfigChoice{0, true}));

    writeGroupConfigChoice("Staff", {1, false});
    EXPECT_THAT(test::storedValueNames(Hive::CurrentUser, kStaffKey),
                ElementsAre("iUserConfigType", "bUserModifyConfig"));

    GroupRecord edited = editorGroupDefaults();
    edited.configChoice = {0, true};
    writeGroupRecord("Staff", edited);
    EXPECT_EQ(readGroupConfigChoice("Staff"), (GroupConfigChoice{1, false}));
    EXPECT_EQ(readGroupPolicy("Staff").configChoice, (GroupConfigChoice{1, false}));
    // The editor does not read the choice; it holds its defaults there.
    EXPECT_EQ(readGroupForEditor("Staff").configChoice, (GroupConfigChoice{0, true}));
}

TEST_F(GroupRecordTest, DefaultGroupAlwaysStandsFirstAndOnce) {
    EXPECT_THAT(listGroups(), ElementsAre("Default Group"));  // no Groups key at all

    SettingsStore groups(kGroupsKey);
    EXPECT_THAT(listGroups(), ElementsAre("Default Group"));  // an empty Groups key

    writeGroupRecord("Zeta", editorGroupDefaults());
    writeGroupRecord("alpha", editorGroupDefaults());
    writeGroupRecord("default GROUP", editorGroupDefaults());
    EXPECT_THAT(listGroups(), ElementsAre("Default Group", "alpha", "Zeta"));
}

TEST_F(GroupRecordTest, DeletingAGroupRemovesItsUsers) {
    writeGroupRecord("Staff", editorGroupDefaults());
    writeUserRecord("Staff", "ann", {"Staff", true, "pw"});
    writeUserRecord("Staff", "bob", {"Staff", false, ""});
    writeUserRecord("Pupils", "cy", {"Pupils", false, ""});

    deleteGroup("Staff");
    EXPECT_FALSE(test::keyExists(Hive::CurrentUser, kStaffKey + "\\Users\\ann"));
    EXPECT_FALSE(test::keyExists(Hive::CurrentUser, kStaffKey));
    EXPECT_THAT(listGroups(), ElementsAre("Default Group", "Pupils"));
    EXPECT_THAT(listUsers("Pupils"), ElementsAre("cy"));
}

TEST_F(GroupRecordTest, IdsThatWouldNameAnotherKeyAreRefused) {
    writeGroupRecord("Staff", editorGroupDefaults());
    writeUserRecord("Staff", "ann", {"Staff", true, "pw"});

    for (const char* id : {"", "Staff\\Users", "a\\b"}) {
        EXPECT_THROW(writeGroupRecord(id, editorGroupDefaults()), SettingsError) << id;
        EXPECT_THROW(deleteGroup(id), SettingsError) << id;
        EXPECT_THROW(deleteUser("Staff", id), SettingsError) << id;
    }
    EXPECT_THAT(listGroups(), ElementsAre("Default Group", "Staff"));
    EXPECT_THAT(listUsers("Staff"), ElementsAre("ann"));
}

}  // namespace
}  // namespace tarn
