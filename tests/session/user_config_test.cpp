#include "session/user_config.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "settings/hive_file.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

const std::string kKey = std::string(kTarnviewRoot) + "\\Staff\\ann";

using Boxes = std::array<std::vector<std::string>, 4>;

class UserConfigTest : public test::TempEnv {
  protected:
    static void writeConfig(std::string_view name, std::string_view text) {
        SettingsStore(kKey).write_string("Config", name, text);
    }
    static std::string readConfig(std::string_view name) {
        return SettingsStore(kKey).read_string("Config", name, "<absent>");
    }
    static std::vector<std::string> numbered(std::string_view prefix, int count) {
        std::vector<std::string> items;
        for (int i = 0; i < count; ++i) {
            items.push_back(std::string(prefix) + std::to_string(i));
        }
        return items;
    }
};

TEST_F(UserConfigTest, ConfigKeyFollowsTheGroupsConfigType) {
    EXPECT_EQ(configKeyFor("Default Group", "Default User", 0),
              "Software\\Kestrow Software\\Tarnview\\Default Group\\Default User");
    EXPECT_EQ(configKeyFor("Staff", "ann", 1), "Software\\Kestrow Software\\Tarnview\\Staff");
    EXPECT_EQ(configKeyFor("Staff", "ann", 2), std::nullopt);
    EXPECT_EQ(configKeyFor("Staff", "ann", -1), std::nullopt);
}

TEST_F(UserConfigTest, EmptyHiveGivesTheDefaultsAndCreatesTheKey) {
    const WindowConfig config = readWindowConfig(kKey);
    EXPECT_EQ(config, WindowConfig{});
    EXPECT_EQ(config.iPositionLeft, 100);
    EXPECT_EQ(config.iPositionTop, 100);
    EXPECT_EQ(config.iPositionWidth, std::nullopt);
    EXPECT_EQ(config.iPositionHeight, std::nullopt);
    EXPECT_EQ(config.iNumberOfPanes, 1);
    EXPECT_EQ(config.iAppSplitPos, 140);
    EXPECT_EQ(config.iMainSplitPos, 0);
    EXPECT_EQ(config.iTileFormat, 0);
    EXPECT_FALSE(config.bShowFavorites);
    EXPECT_TRUE(config.bShowButtonBar);
    EXPECT_TRUE(config.bShowStatusBar);
    EXPECT_EQ(config.iUrlHistory, 2);
    EXPECT_EQ(config.iMaxHistoryEntries, 25);
    EXPECT_EQ(
        config.panes,
        (std::array<PaneTimerSettings, 4>{
            {{2, true, 2, true}, {2, true, 2, true}, {2, true, 2, true}, {2, true, 2, true}}}));
    EXPECT_EQ(config.sPaneUrl, (std::array<std::string, 4>{}));

    auto hive = HiveFile::open(Hive::CurrentUser);
    EXPECT_TRUE(hive->findKey(kRootKey, kKey).has_value());
}

TEST_F(UserConfigTest, StoredValuesAreRead) {
    writeConfig("iPosition Left", "-20");
    writeConfig("iPosition Width", "800");
    writeConfig("iPosition Height", "tall");  // not a number: as if absent
    writeConfig("iPosition Top", "-1");       // only the size takes -1 for the designed one
    writeConfig("iNumberOfPanes", "3");
    writeConfig("iMainSplitPos", "250");
    writeConfig("iTileFormat", "2");
    writeConfig("bShowFavorites", "1");
    writeConfig("bShowStatusBar", "0");
    writeConfig("iUrlHistory", "1");
    writeConfig("iWeb3RefreshRate", "30");
    writeConfig("bWeb2CycleMins", "0");
    writeConfig("sPane4Url", "http://127.0.0.1/four");

    const WindowConfig config = readWindowConfig(kKey);
    EXPECT_EQ(config.iPositionLeft, -20);
    EXPECT_EQ(config.iPositionTop, -1);
    EXPECT_EQ(config.iPositionWidth, 800);
    EXPECT_EQ(config.iPositionHeight, std::nullopt);
    EXPECT_EQ(config.iNumberOfPanes, 3);
    EXPECT_EQ(config.iMainSplitPos, 250);
    EXPECT_EQ(config.iTileFormat, 2);
    EXPECT_TRUE(config.bShowFavorites);
    EXPECT_FALSE(config.bShowStatusBar);
    EXPECT_EQ(config.iUrlHistory, 1);
    EXPECT_EQ(config.panes[2].refreshRate, 30);
    EXPECT_EQ(config.panes[0].refreshRate, 2);
    EXPECT_FALSE(config.panes[1].cycleMins);
    EXPECT_TRUE(config.panes[2].cycleMins);
    EXPECT_EQ(config.sPaneUrl[3], "http://127.0.0.1/four");

    // A stored size of -1 keeps the designed size, as an absent one does.
    writeConfig("iPosition Width", "-1");
    EXPECT_EQ(readWindowConfig(kKey).iPositionWidth, std::nullopt);
}

TEST_F(UserConfigTest, ASpawnedCopyTakesOnlyTheViewMarks) {
    writeConfig("bShowFavorites", "1");
    writeConfig("bShowButtonBar", "0");
    writeConfig("iNumberOfPanes", "3");
    writeConfig("iUrlHistory", "1");
    writeConfig("iMaxHistoryEntries", "40");
    writeConfig("iWeb1RefreshRate", "30");
    writeConfig("sPane1Url", "http://127.0.0.1/one");

    const WindowConfig config = spawnedCopyConfig(kKey);
    EXPECT_TRUE(config.bShowFavorites);
    EXPECT_FALSE(config.bShowButtonBar);
    EXPECT_TRUE(config.bShowStatusBar);
    EXPECT_EQ(config.iNumberOfPanes, 1);
    EXPECT_EQ(config.iUrlHistory, 0);
    EXPECT_EQ(config.iMaxHistoryEntries, 0);
    for (const PaneTimerSettings& pane : config.panes) {
        EXPECT_EQ(pane.refreshRate, 0);
        EXPECT_EQ(pane.cycleRate, 0);
    }
    EXPECT_EQ(config.sPaneUrl, (std::array<std::string, 4>{}));
}

TEST_F(UserConfigTest, PaneCountIsBroughtIntoRange) {
    for (auto [stored, expected] : {std::pair{"0", 1}, {"-3", 1}, {"4", 4}, {"9", 4}}) {
        writeConfig("iNumberOfPanes", stored);
        EXPECT_EQ(readWindowConfig(kKey).iNumberOfPanes, expected) << stored;
    }
}

TEST_F(UserConfigTest, WindowStateRoundTrips) {
    WindowState state{10, 20, 675, 480, 1, 150, 300, 200, 210, true, false, true};
    writeWindowState(kKey, state, "2026-03-04");

    const WindowConfig config = readWindowConfig(kKey);
    EXPECT_EQ(config.iPositionLeft, 10);
    EXPECT_EQ(config.iPositionTop, 20);
    EXPECT_EQ(config.iPositionWidth, 675);
    EXPECT_EQ(config.iPositionHeight, 480);
    EXPECT_EQ(config.iTileFormat, 1);
    EXPECT_EQ(config.iAppSplitPos, 150);
    EXPECT_EQ(config.iMainSplitPos, 300);
    EXPECT_EQ(config.iLeftSplitPos, 200);
    EXPECT_EQ(config.iRightSplitPos, 210);
    EXPECT_TRUE(config.bShowFavorites);
    EXPECT_FALSE(config.bShowButtonBar);
    EXPECT_TRUE(config.bShowStatusBar);
    EXPECT_EQ(readConfig("sLastRunDate"), "2026-03-04");

    // With no tile format checked the stored one stays.
    state.iTileFormat.reset();
    writeWindowState(kKey, state, "2026-03-05");
    EXPECT_EQ(readConfig("iTileFormat"), "1");
    EXPECT_EQ(readConfig("sLastRunDate"), "2026-03-05");
}

TEST_F(UserConfigTest, PerPaneHistoriesRoundTrip) {
    const Boxes boxes{numbered("a", 3), {}, numbered("c", 1), numbered("d", 2)};
    writeHistories(kKey, 2, boxes);
    EXPECT_EQ(readHistories(kKey, 2),
              (std::vector<std::vector<std::string>>(boxes.begin(), boxes.end())));

    // A shorter list leaves none of the old entries behind.
    writeHistories(kKey, 2, Boxes{numbered("x", 1), {}, {}, {}});
    EXPECT_EQ(readHistories(kKey, 2), (std::vector<std::vector<std::string>>{{"x0"}, {}, {}, {}}));
}

TEST_F(UserConfigTest, GlobalHistoryIsPaneOnesBoxCopiedToAll) {
    writeHistories(kKey, 2, Boxes{numbered("p", 2), numbered("q", 2), {}, {}});
    writeHistories(kKey, 1, Boxes{numbered("g", 2), numbered("ignored", 3), {}, {}});

    const std::vector<std::string> global{"g0", "g1"};
    EXPECT_EQ(readHistories(kKey, 1),
              (std::vector<std::vector<std::string>>{global, global, global, global}));
    // The per-pane lists are not touched by a global save.
    EXPECT_EQ(readHistories(kKey, 2)[1], numbered("q", 2));
}

TEST_F(UserConfigTest, HistoryModeZeroErasesOnlyTheGlobalList) {
    writeHistories(kKey, 2, Boxes{numbered("p", 2), {}, {}, {}});
    writeHistories(kKey, 1, Boxes{numbered("g", 2), {}, {}, {}});
    writeHistories(kKey, 0, Boxes{numbered("z", 2), {}, {}, {}});

    EXPECT_EQ(readHistories(kKey, 0), (std::vector<std::vector<std::string>>(4)));
    EXPECT_EQ(readHistories(kKey, 1), (std::vector<std::vector<std::string>>(4)));
    EXPECT_EQ(readHistories(kKey, 2)[0], numbered("p", 2));
}

TEST_F(UserConfigTest, PerPaneSaveErasesTheGlobalList) {
    writeHistories(kKey, 1, Boxes{numbered("g", 2), {}, {}, {}});
    writeHistories(kKey, 2, Boxes{});
    EXPECT_EQ(readHistories(kKey, 1), (std::vector<std::vector<std::string>>(4)));
}

TEST_F(UserConfigTest, HistoryLoadStopsAtTheCapAndTheFirstGap) {
    writeHistories(kKey, 1, Boxes{numbered("h", 130), {}, {}, {}});
    EXPECT_EQ(readHistories(kKey, 1)[2], numbered("h", 101));

    SettingsStore store(kKey);
    store.write_string("Web1URLHistory", "sHistory0", "first");
    store.write_string("Web1URLHistory", "sHistory1", "");
    store.write_string("Web1URLHistory", "sHistory2", "after an empty one");
    store.write_string("Web2URLHistory", "sHistory0", "first");
    store.write_string("Web2URLHistory", "sHistory2", "after a missing one");
    const auto boxes = readHistories(kKey, 2);
    EXPECT_EQ(boxes[0], std::vector<std::string>{"first"});
    EXPECT_EQ(boxes[1], std::vector<std::string>{"first"});
}

TEST_F(UserConfigTest, UserActiveFlagIsWrittenAndAMissingOneIsFalse) {
    EXPECT_FALSE(readUserActive(kKey));
    writeUserActive(kKey, true);
    EXPECT_EQ(readConfig("bUserActive"), "1");
    EXPECT_TRUE(readUserActive(kKey));
    writeUserActive(kKey, false);
    EXPECT_EQ(readConfig("bUserActive"), "0");
    EXPECT_FALSE(readUserActive(kKey));
}

struct FolderCase {
    const char* favDir;
    int configType;
    const char* text;
    const char* mapped;  // below the data folder; empty for a POSIX folder
};

TEST_F(UserConfigTest, UserFolderVariants) {
    const FolderCase cases[] = {
        {"c:\\tarnview", 0, "c:\\tarnview\\Staff\\ann\\", "c/tarnview/Staff/ann"},
        {"", 0, "c:\\tarnview\\Staff\\ann\\", "c/tarnview/Staff/ann"},
        {"d:\\fav\\", 0, "d:\\fav\\Staff\\ann\\", "d/fav/Staff/ann"},
        {"c:\\tarnview", 1, "c:\\tarnview\\Staff\\", "c/tarnview/Staff"},
        {"c:\\tarnview", 2, "c:\\tarnview\\", "c/tarnview"},
        {"\\shared", 0, "\\shared\\Staff\\ann\\", "c/shared/Staff/ann"},
    };
    for (const FolderCase& c : cases) {
        GroupRecord policy;
        policy.sGroupFavDir = c.favDir;
        policy.configChoice.iUserConfigType = c.configType;
        const UserFolder folder = userFolder(policy, "Staff", "ann");
        EXPECT_EQ(folder.text, c.text) << c.favDir << " type " << c.configType;
        EXPECT_EQ(folder.path, dataFolder() / c.mapped) << c.favDir;
        EXPECT_TRUE(std::filesystem::is_directory(folder.path)) << c.favDir;
    }
}

TEST_F(UserConfigTest, UserFolderBelowAPosixFolder) {
    GroupRecord policy;
    policy.sGroupFavDir = (root / "favourites").string();
    const UserFolder folder = userFolder(policy, "Staff", "ann");
    EXPECT_EQ(folder.text, policy.sGroupFavDir + "/Staff/ann/");
    EXPECT_EQ(folder.path, root / "favourites" / "Staff" / "ann");
    EXPECT_TRUE(std::filesystem::is_directory(folder.path));
}

TEST_F(UserConfigTest, UserFolderThatCannotBeCreatedThrows) {
    test::writeFile(root / "plain-file", "x");
    GroupRecord policy;
    policy.sGroupFavDir = (root / "plain-file").string();
    EXPECT_THROW(userFolder(policy, "Staff", "ann"), std::filesystem::filesystem_error);
}

}  // namespace
}  // namespace tarn
