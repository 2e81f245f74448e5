#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/paths.h"
#include "settings/admin_area.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"
#include "temp_env.h"

namespace tarn {
namespace {

class SettingsStoreTest : public test::TempEnv {};

TEST_F(SettingsStoreTest, ValuesAreStoredAsTextByKind) {
    SettingsStore store(kTarnviewRoot);
    store.write_string("Config", "sName", "Ann");
    store.write_int("Config", "iCount", -42);
    store.write_bool("Config", "bOn", true);
    store.write_bool("Config", "bOff", false);

    auto hive = HiveFile::open(Hive::CurrentUser);
    const auto values = hive->values(*hive->findKey(kRootKey, kConfigKey));
    ASSERT_EQ(values.size(), 4u);
    const std::pair<const char*, const char*> expected[] = {
        {"sName", "Ann"}, {"iCount", "-42"}, {"bOn", "1"}, {"bOff", "0"}};
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, expected[i].first);
        EXPECT_EQ(values[i].type, kRegString);
        EXPECT_EQ(values[i].data, expected[i].second);
    }
}

TEST_F(SettingsStoreTest, IntegerAndBooleanReadRules) {
    SettingsStore store(kTarnviewRoot);
    struct Case {
        const char* stored;
        int asInt;    // read with default 7
        bool asBool;  // read with default true
    } cases[] = {
        {"2", 2, true},           {"0", 0, false},
        {"1", 1, true},           {"0x1F", 31, true},
        {"0X1f", 31, true},       {"0xffffffff", -1, true},
        {"-15", -15, true},       {"+15", 15, true},
        {"abc", 7, true},         {"", 7, true},
        {"0x", 7, true},          {"0xg1", 7, true},
        {"12abc", 7, true},       {" 12", 7, true},
        {"99999999999", 7, true}, {"0x100000000", 7, true},
        {"-0", 0, false},
    };
    for (const Case& c : cases) {
        store.write_string("Config", "iValue", c.stored);
        EXPECT_EQ(store.read_int("Config", "iValue", 7), c.asInt) << '"' << c.stored << '"';
        EXPECT_EQ(store.read_bool("Config", "iValue", true), c.asBool) << '"' << c.stored << '"';
    }
    store.write_string("Config", "bValue", "abc");
    EXPECT_FALSE(store.read_bool("Config", "bValue", false));
}

TEST_F(SettingsStoreTest, MissingValuesGiveTheReadersDefaultAndCreateNothing) {
    SettingsStore store(kTarnviewRoot);
    EXPECT_EQ(store.read_string("Nowhere\\Deeper", "sName", "fallback"), "fallback");
    EXPECT_EQ(store.read_int("Nowhere", "iCount", 5), 5);
    EXPECT_TRUE(store.read_bool("Nowhere", "bOn", true));
    EXPECT_EQ(store.read_string("", "sMissing", ""), "");
    std::vector<std::string> names{"stale"};
    store.list_values("Nowhere", names);
    EXPECT_TRUE(names.empty());
    store.list_subkeys(names);
    EXPECT_TRUE(names.empty()) << "a read created a section";
}

TEST_F(SettingsStoreTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    SettingsStore store(kTarnviewRoot);
    store.write_string("Admin\\Groups\\Kids", "sGroupFavDir", "c:\\kids");
    store.write_string("ADMIN\\groups\\KIDS", "SGROUPFAVDIR", "c:\\KIDS");
    EXPECT_EQ(store.read_string("admin\\GROUPS\\kids", "sgroupfavdir", ""), "c:\\KIDS");

    ASSERT_TRUE(store.open_key("\\software\\KESTROW SOFTWARE\\tarnview\\admin\\groups", false));
    std::vector<std::string> groups;
    store.list_subkeys(groups);
    EXPECT_EQ(groups, std::vector<std::string>{"Kids"});
    std::vector<std::string> values;
    store.list_values("kids", values);
    EXPECT_EQ(values, std::vector<std::string>{"sGroupFavDir"});
}

TEST_F(SettingsStoreTest, SubkeysSortIgnoringCaseAndValuesKeepCreationOrder) {
    SettingsStore store(kTarnviewRoot);
    for (const char* name : {"beta", "Alpha", "gamma", "Delta", "alphabet"}) {
        store.write_string(std::string("List\\") + name, "sX", "1");
    }
    for (const char* name : {"zeta", "Eta", "alpha", "Theta"}) {
        store.write_bool("Values", name, true);
    }
    store.write_bool("Values", "ETA", false);  // rewriting keeps the place

    ASSERT_TRUE(store.open_key(std::string(kTarnviewRoot) + "\\List", false));
    std::vector<std::string> keys;
    store.list_subkeys(keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "alphabet", "beta", "Delta", "gamma"}));

    ASSERT_TRUE(store.open_key(kTarnviewRoot, false));
    std::vector<std::string> values{"kept"};
    store.append_values("Values", values);
    EXPECT_EQ(values, (std::vector<std::string>{"kept", "zeta", "Eta", "alpha", "Theta"}));
    store.list_values("Values", values);
    EXPECT_EQ(values.size(), 4u);
    EXPECT_FALSE(store.read_bool("Values", "eta", true));
}

TEST_F(SettingsStoreTest, TextKeepsItsFullLengthIncludingZeroBytes) {
    SettingsStore store(kTarnviewRoot);
    const std::string scrambled("a\0b\xff\x01\0", 6);
    store.write_string("Config", "sPassword", scrambled);
    EXPECT_EQ(store.read_string("Config", "sPassword", "x"), scrambled);
    store.write_string("Config", "sEmpty", "");
    EXPECT_EQ(store.read_string("Config", "sEmpty", "x"), "");
    EXPECT_EQ(store.read_int("Config", "sEmpty", 3), 3);
}

TEST_F(SettingsStoreTest, ValuesOfAnotherTypeAreRefusedByName) {
    {
        SettingsStore store(kTarnviewRoot);
        store.write_string("Config", "sName", "x");
    }
    auto hive = HiveFile::open(Hive::CurrentUser);
    const KeyId config = *hive->findKey(kRootKey, kConfigKey);
    hive->writeValue(config, "iDword", kRegDword, std::string("\x1f\0\0\0", 4));
    hive->writeValue(config, "sBinary", kRegBinary, "\x01\x02");

    SettingsStore store(kTarnviewRoot);
    try {
        store.read_string("Config", "sBinary", "");
        FAIL() << "no error";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'sBinary'");
    }
    EXPECT_THROW(store.read_int("Config", "iDword", 0), SettingsError);
    EXPECT_THROW(store.read_bool("Config", "iDword", false), SettingsError);
    // Writing through the store turns the value back into text.
    store.write_int("Config", "iDword", 31);
    EXPECT_EQ(store.read_int("Config", "iDword", 0), 31);
}

TEST_F(SettingsStoreTest, EraseSectionRemovesTheWholeTreeOnly) {
    SettingsStore store(kTarnviewRoot);
    store.write_string("Admin\\Groups\\Kids\\Users\\ann", "sUserGroup", "Kids");
    store.write_string("Admin\\Groups\\Kids", "sGroupFavDir", "x");
    store.write_string("Admin\\Groups\\Adults", "sGroupFavDir", "y");
    store.erase_section("Admin\\Groups\\kids");
    store.erase_section("Admin\\Groups\\NotThere");
    EXPECT_EQ(store.read_string("Admin\\Groups\\Kids\\Users\\ann", "sUserGroup", ""), "");
    EXPECT_EQ(store.read_string("Admin\\Groups\\Adults", "sGroupFavDir", ""), "y");
    ASSERT_TRUE(store.open_key(kGroupsKey, false));
    std::vector<std::string> groups;
    store.list_subkeys(groups);
    EXPECT_EQ(groups, std::vector<std::string>{"Adults"});
    // An empty section names no subkey: the open key stays.
    store.erase_section("");
    store.erase_section("\\");
    store.list_subkeys(groups);
    EXPECT_EQ(groups, std::vector<std::string>{"Adults"});
}

TEST_F(SettingsStoreTest, OpenKeyWithoutCreateFailsForMissingKeysAndReadsFallBack) {
    SettingsStore store(kTarnviewRoot);
    EXPECT_FALSE(store.open_key("Software\\Nobody", false));
    EXPECT_FALSE(store.has_open_key());
    EXPECT_EQ(store.read_int("", "iX", 9), 9);
    try {
        store.write_int("", "iX", 1);
        FAIL() << "a write without an open key succeeded";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'iX'");
    }
    EXPECT_TRUE(store.open_key("Software\\Somebody", true));
    EXPECT_TRUE(store.open_key("Software\\Somebody", false));
}

TEST_F(SettingsStoreTest, UserSetChoosesTheHiveOfTheAdministrativeAreaOnly) {
    SettingsStore({}).write_int(std::string(kTarnviewRoot) + "\\Config", "iUserSet", 0);
    openAdminKey(kAdminKey)->write_bool("", "bUseLogon", true);

    SettingsStore(kTarnviewRoot).write_int("Config", "iUserSet", 1);
    EXPECT_EQ(adminHive(), Hive::LocalMachine);
    // Nothing moves: the machine hive starts from defaults.
    EXPECT_FALSE(openAdminKey(kAdminKey)->read_bool("", "bUseLogon", false));
    openAdminKey(kAdminKey)->write_bool("Groups\\Kids", "bGroupAllowClose", false);
    EXPECT_FALSE(openAdminKey(kGroupsKey)->read_bool("Kids", "bGroupAllowClose", true));

    SettingsStore machine(kTarnviewRoot);
    machine.set_root(Hive::LocalMachine);
    ASSERT_TRUE(machine.open_key(kGroupsKey, false));
    EXPECT_FALSE(machine.read_bool("Kids", "bGroupAllowClose", true));
    ASSERT_TRUE(machine.open_key(kTarnviewRoot, false));
    EXPECT_EQ(machine.read_int("Config", "iUserSet", -1), -1) << "iUserSet leaked to the machine";

    SettingsStore user(kTarnviewRoot);
    EXPECT_TRUE(user.read_bool("Admin", "bUseLogon", false));
    EXPECT_TRUE(user.read_bool("Admin\\Groups\\Kids", "bGroupAllowClose", true));

    for (int other : {0, 2, -1}) {
        user.write_int("Config", "iUserSet", other);
        EXPECT_EQ(adminHive(), Hive::CurrentUser) << other;
    }
}

TEST_F(SettingsStoreTest, NewUserHiveIsPrivateAndNamesTheFavoritesFolder) {
    SettingsStore store(kTarnviewRoot);
    struct stat info {};
    ASSERT_EQ(stat(userHiveFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ASSERT_TRUE(store.open_key(kShellFoldersKey, false));
    const std::string favorites = store.read_string("", kFavoritesValue, "");
    EXPECT_EQ(favorites, (dataHome / "tarnview" / "Favorites").string());
    EXPECT_TRUE(std::filesystem::is_directory(favorites));
}

TEST_F(SettingsStoreTest, UnwritableMachineHiveReadsDefaultsAndRefusesWrites) {
    setenv("TARNVIEW_MACHINE_HIVE", "/proc/tarnview-none/machine.hive", 1);
    SettingsStore store(kTarnviewRoot);
    store.set_root(Hive::LocalMachine);
    EXPECT_FALSE(store.open_key(kAdminKey, true));
    EXPECT_TRUE(store.read_bool("", "bGroupAllowClose", true));
    EXPECT_THROW(store.write_bool("", "bUseLogon", true), SettingsError);
    SettingsStore(kTarnviewRoot).write_int("Config", "iUserSet", 1);
    auto admin = openAdminKey(kAdminKey);
    EXPECT_FALSE(admin->has_open_key());
    EXPECT_FALSE(admin->read_bool("", "bUseLogon", false));
}

}  // namespace
}  // namespace tarn
