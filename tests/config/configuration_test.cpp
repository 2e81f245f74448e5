#include "config/configuration.h"

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

constexpr char kKey[] = "Software\\Kestrow Software\\Tarnview\\Kids\\ann";

using ConfigurationTest = test::TempEnv;

TEST_F(ConfigurationTest, ReadsEachValuesDefaultAndGivesBackWhatWasWritten) {
    const Configuration empty = readConfiguration(kKey);
    EXPECT_EQ(empty.panes, 1);
    EXPECT_EQ(empty.maxHistoryEntries, 25);
    EXPECT_EQ(empty.urlHistory, 2);
    EXPECT_EQ(empty.newWindowAction, 0);
    for (const PaneConfiguration& pane : empty.pane) {
        EXPECT_EQ(pane, (PaneConfiguration{"", false, 2, true, false, false, 2, true, false, {}}));
    }

    Configuration c = empty;
    c.panes = 3;
    c.maxHistoryEntries = 40;
    c.urlHistory = 1;
    c.newWindowAction = 2;
    c.pane[1] = {"http://start.example/",
                 true,
                 30,
                 false,
                 true,
                 true,
                 5,
                 false,
                 true,
                 {"http://a.example/", "http://b.example/"}};
    writeConfiguration(kKey, c);
    EXPECT_EQ(readConfiguration(kKey), c);
    const SettingsStore store(kKey);
    EXPECT_EQ(store.read_string("Config", "sPane2Url", ""), "http://start.example/");
    EXPECT_EQ(store.read_string("Config", "bWeb2RefreshAtStart", ""), "1");
    EXPECT_EQ(store.read_string("Web2Cycle", "sUrl1", ""), "http://b.example/");
}

TEST_F(ConfigurationTest, ACycleListEndsAtItsFirstEmptyEntryAndAtMost256AreRead) {
    Configuration c = readConfiguration(kKey);
    c.pane[0].cycle = {"a", "", "b"};
    writeConfiguration(kKey, c);
    const SettingsStore store(kKey);
    EXPECT_EQ(store.read_string("Web1Cycle", "sUrl2", ""), "b");
    EXPECT_EQ(readConfiguration(kKey).pane[0].cycle, std::vector<std::string>{"a"});

    c.pane[2].cycle.clear();
    for (int i = 0; i < 300; ++i)
        c.pane[2].cycle.push_back("http://" + std::to_string(i) + ".example/");
    writeConfiguration(kKey, c);
    EXPECT_EQ(store.read_string("Web3Cycle", "sUrl299", ""), "http://299.example/");
    const std::vector<std::string> read = readConfiguration(kKey).pane[2].cycle;
    EXPECT_EQ(read.size(), 256u);
    EXPECT_EQ(read.back(), "http://255.example/");

    // A list emptied leaves no entries behind.
    c.pane[2].cycle.clear();
    writeConfiguration(kKey, c);
    EXPECT_EQ(store.read_string("Web3Cycle", "sUrl0", "none"), "none");
}

}  // namespace
}  // namespace tarn
