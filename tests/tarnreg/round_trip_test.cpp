#include <gtest/gtest.h>

#include <tuple>

#include "settings/hive_file.h"
#include "tarnreg_fixture.h"

namespace tarn::test {
namespace {

using StoredValue =
    std::tuple<std::string, std::string, int, std::string>;  // key, name, type, data

void dumpTree(HiveFile& hive, KeyId id, const std::string& path, std::vector<StoredValue>& out) {
    out.push_back({path, "", -1, ""});  // the key itself, so that empty keys count
    for (const HiveValue& value : hive.values(id)) {
        out.push_back({path, value.name, value.type, value.data});
    }
    for (const std::string& name : hive.subkeyNames(id)) {
        dumpTree(hive, *hive.findKey(id, name), path + "\\" + name, out);
    }
}

std::vector<StoredValue> storedTree(Hive which, const std::string& path) {
    auto hive = HiveFile::open(which);
    std::vector<StoredValue> out;
    if (const auto id = hive->findKey(kRootKey, path)) {
        dumpTree(*hive, *id, path, out);
    }
    return out;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

// Everything a registry file finds hard to carry.
void writeAwkwardTree(Hive which) {
    auto hive = HiveFile::open(which);
    const KeyId key = hive->createKey(kRootKey, "Software\\Awkward");
    std::string counting;
    for (int i = 0; i < 200; ++i) {
        counting.push_back(static_cast<char>(i));
    }
    const std::tuple<const char*, int, std::string> values[] = {
        {"z", kRegString, "created first"},
        {"", kRegString, "quote \" backslash \\ \\\\ end\\ \xc3\xbc \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"a \"quoted\" \\ name", kRegString, ""},
        {"pw", kRegString, bytes({0x01, 0x00, 0xff, 0x0d, 0x0a, 0x7f, 0x00})},
        {"latin1", kRegString, "caf\xe9"},
        {"crlf", kRegString, "line1\r\nline2\n"},
        {"tab", kRegString, "a\tb;c=d[e]"},
        {"dw0", kRegDword, bytes({0, 0, 0, 0})},
        {"dwmax", kRegDword, bytes({0xff, 0xff, 0xff, 0xff})},
        {"bin", kRegBinary, counting},
        {"emptybin", kRegBinary, ""},
        {"multi", 7, std::string("a\0b\0\0", 5)},
        {"none", 0, ""},
        {"\xc3\xbcnicode name", kRegString, "x"},
    };
    for (const auto& [name, type, data] : values) {
        hive->writeValue(key, name, type, data);
    }
    hive->createKey(key, "Empty");
    hive->writeValue(hive->createKey(key, "b Child\\Deep\\Deeper"), "v", kRegString, "deep");
    hive->createKey(key, "A child");
    hive->writeValue(hive->createKey(key, "Schl\xc3\xbcssel"), "k", kRegDword, bytes({1, 2, 3, 4}));
}

class RoundTripTest : public TarnregTest {};

TEST_F(RoundTripTest, ExportImportExportIsByteForByteInBothFormats) {
    for (const bool regedit4 : {false, true}) {
        SCOPED_TRACE(regedit4 ? "REGEDIT4" : "Version 5.00");
        const std::string suffix = regedit4 ? "4" : "5";
        useHivesIn(root / ("source" + suffix));
        writeAwkwardTree(Hive::CurrentUser);
        writeAwkwardTree(Hive::LocalMachine);
        const std::string user = exported("HKCU\\Software\\Awkward", regedit4);
        const std::string machine = exported("HKLM\\Software\\Awkward", regedit4);
        const auto userTree = storedTree(Hive::CurrentUser, "Software\\Awkward");
        const auto machineTree = storedTree(Hive::LocalMachine, "Software\\Awkward");
        ASSERT_EQ(userTree.size(), 23u);
        EXPECT_TRUE(user.starts_with(regedit4 ? std::string("REGEDIT4\r\n")
                                              : std::string("\xff\xfeW\0i\0", 6)));

        useHivesIn(root / ("target" + suffix));
        writeFile(root / "user.reg", user);
        writeFile(root / "machine.reg", machine);
        for (const char* file : {"user.reg", "machine.reg"}) {
            const RunResult result = run({"import", (root / file).string()});
            EXPECT_EQ(result.exitCode, 0) << result.err;
        }
        EXPECT_EQ(storedTree(Hive::CurrentUser, "Software\\Awkward"), userTree);
        EXPECT_EQ(storedTree(Hive::LocalMachine, "Software\\Awkward"), machineTree);
        EXPECT_EQ(exported("HKCU\\Software\\Awkward", regedit4), user);
        EXPECT_EQ(exported("HKLM\\Software\\Awkward", regedit4), machine);
    }
}

}  // namespace
}  // namespace tarn::test
