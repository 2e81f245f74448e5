#include <gtest/gtest.h>

#include "settings/hive_file.h"
#include "tarnreg_fixture.h"

namespace tarn::test {
namespace {

class CommandTest : public TarnregTest {
  protected:
    std::optional<HiveValue> stored(Hive hive, std::string_view key, std::string_view name) {
        auto file = HiveFile::open(hive);
        const auto id = file->findKey(kRootKey, key);
        return id ? file->readValue(*id, name) : std::nullopt;
    }

    void expectOk(const std::vector<std::string>& args) {
        const RunResult result = run(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
    }
};

TEST_F(CommandTest, SetQueryAndDeleteThroughTheProgram) {
    expectOk({"set", "HKCU\\Software\\Test", "", "hello"});
    expectOk({"set", "HKCU\\Software\\Test", "Count", "0x1F", "--type", "dword"});
    expectOk({"set", "--type=binary", "HKCU\\Software\\Test", "Blob", "00,01,ff"});
    expectOk({"set", "HKCU\\software\\test\\Beta", "x", "1"});
    expectOk({"set", "HKCU\\SOFTWARE\\TEST\\alpha", "y", "2"});
    auto hive = HiveFile::open(Hive::CurrentUser);
    hive->writeValue(*hive->findKey(kRootKey, "Software\\Test"), "Pass", kRegString,
                     std::string("a\0b\n", 4));

    EXPECT_EQ(stored(Hive::CurrentUser, "Software\\Test", "Count")->data,
              std::string("\x1f\0\0\0", 4));
    EXPECT_EQ(stored(Hive::CurrentUser, "Software\\Test", "Count")->type, kRegDword);
    EXPECT_EQ(stored(Hive::CurrentUser, "Software\\Test", "Blob")->data,
              std::string("\0\1\xff", 3));
    EXPECT_EQ(stored(Hive::CurrentUser, "Software\\Test", "Blob")->type, kRegBinary);

    RunResult listing = run({"query", "hkcu\\SOFTWARE\\test"});
    EXPECT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_EQ(listing.out,
              "HKEY_CURRENT_USER\\Software\\Test\n"
              "    (Default)    REG_SZ    hello\n"
              "    Count    REG_DWORD    31\n"
              "    Blob    REG_BINARY    00,01,ff\n"
              "    Pass    REG_SZ    61,00,62,0a\n"
              "\n"
              "HKEY_CURRENT_USER\\Software\\Test\\alpha\n"
              "HKEY_CURRENT_USER\\Software\\Test\\Beta\n");

    const std::pair<const char*, std::string> alone[] = {
        {"", "hello\n"},
        {"count", "31\n"},
        {"Blob", "00,01,ff\n"},
        {"Pass", std::string("a\0b\n\n", 5)},
    };
    for (const auto& [name, data] : alone) {
        const RunResult result = run({"query", "HKCU\\Software\\Test", name});
        EXPECT_EQ(result.exitCode, 0) << name << ": " << result.err;
        EXPECT_EQ(result.out, data) << name;
    }

    expectOk({"delete", "HKCU\\Software\\Test", "COUNT"});
    EXPECT_FALSE(stored(Hive::CurrentUser, "Software\\Test", "Count"));
    RunResult missing = run({"query", "HKCU\\Software\\Test", "Count"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              "tarnreg: value 'Count' not found in HKEY_CURRENT_USER\\Software\\Test\n");

    expectOk({"delete", "HKCU\\Software\\Test"});
    EXPECT_FALSE(hive->findKey(kRootKey, "Software\\Test\\Beta"));
    EXPECT_TRUE(hive->findKey(kRootKey, "Software"));
    missing = run({"query", "HKCU\\Software\\Test"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "tarnreg: key not found: HKEY_CURRENT_USER\\Software\\Test\n");
    EXPECT_EQ(missing.out, "");
}

TEST_F(CommandTest, DwordAndBinaryDataAsWrittenOnTheCommandLine) {
    const std::pair<const char*, const char*> dwords[] = {
        {"0", "0"},     {"4294967295", "4294967295"}, {"0xFFFFFFFF", "4294967295"},
        {"0x1f", "31"}, {"0X0000001f", "31"},         {"007", "7"},
    };
    for (const auto& [input, shown] : dwords) {
        expectOk({"set", "HKLM\\Software\\Test", "d", input, "--type", "dword"});
        EXPECT_EQ(run({"query", "HKLM\\Software\\Test", "d"}).out, std::string(shown) + "\n")
            << input;
    }
    const std::pair<const char*, std::string> binaries[] = {
        {"", ""},
        {"1,a,FF", "\x01\x0a\xff"},
        {" 01 , 02 ,", "\x01\x02"},
    };
    for (const auto& [input, bytes] : binaries) {
        expectOk({"set", "HKLM\\Software\\Test", "b", input, "--type", "binary"});
        EXPECT_EQ(stored(Hive::LocalMachine, "Software\\Test", "b")->data, bytes) << input;
    }
}

TEST_F(CommandTest, EachRootSpellingReachesItsOwnHive) {
    const std::pair<const char*, Hive> spellings[] = {
        {"HKCU\\Software\\R1", Hive::CurrentUser},
        {"hkey_current_user\\Software\\R2", Hive::CurrentUser},
        {"HKEY_CURRENT_USER\\Software\\R3", Hive::CurrentUser},
        {"HKLM\\Software\\R4", Hive::LocalMachine},
        {"hKlM\\Software\\R5", Hive::LocalMachine},
        {"HKEY_LOCAL_MACHINE\\Software\\R6", Hive::LocalMachine},
    };
    for (const auto& [key, hive] : spellings) {
        expectOk({"set", key, "v", key});
        const std::string path = std::string(key).substr(std::string(key).find('\\') + 1);
        const Hive other = hive == Hive::CurrentUser ? Hive::LocalMachine : Hive::CurrentUser;
        EXPECT_EQ(stored(hive, path, "v")->data, key);
        EXPECT_FALSE(stored(other, path, "v")) << key;
    }
    EXPECT_TRUE(std::filesystem::exists(machineHive));
}

TEST_F(CommandTest, WrongCommandLinesPrintUsageAndExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"query"},
        {"query", "HKCU\\A", "n", "extra"},
        {"set", "HKCU\\A", "n"},
        {"set", "HKCU\\A", "n", "1", "--type"},
        {"set", "HKCU\\A", "n", "1", "--type", "qword"},
        {"delete"},
        {"export", "HKCU\\A"},
        {"export", "HKCU\\A", "f.reg", "--type", "sz"},
        {"import"},
        {"import", "a.reg", "b.reg"},
        {"query", "--regedit4", "HKCU\\A"},
    };
    for (const auto& args : cases) {
        const RunResult result = run(args);
        const std::string shown = args.empty() ? "(none)" : args[0];
        EXPECT_EQ(result.exitCode, 2) << shown << " " << args.size();
        EXPECT_TRUE(result.err.starts_with("tarnreg: ")) << result.err;
        EXPECT_NE(result.err.find("Usage: tarnreg"), std::string::npos) << shown;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(machineHive));
}

TEST_F(CommandTest, RefusedDataAndMissingTargetsExitWithOneAndNameTheProblem) {
    expectOk({"set", "HKCU\\Software\\Here", "v", "1"});
    const struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"query", "HKEY_CLASSES_ROOT\\Software"},
         "tarnreg: unsupported root 'HKEY_CLASSES_ROOT' in key 'HKEY_CLASSES_ROOT\\Software'"},
        {{"set", "HKU\\x", "v", "1"}, "tarnreg: unsupported root 'HKU'"},
        {{"set", "Software\\x", "v", "1"}, "tarnreg: unsupported root 'Software'"},
        {{"set", "HKCU\\Software\\New", "d", "12a", "--type", "dword"},
         "tarnreg: bad dword data '12a'"},
        {{"set", "HKCU\\Software\\New", "d", "-1", "--type", "dword"},
         "tarnreg: bad dword data '-1'"},
        {{"set", "HKCU\\Software\\New", "d", "4294967296", "--type", "dword"},
         "tarnreg: bad dword data '4294967296'"},
        {{"set", "HKCU\\Software\\New", "d", "0x100000000", "--type", "dword"},
         "tarnreg: bad dword data"},
        {{"set", "HKCU\\Software\\New", "b", "0g", "--type", "binary"},
         "tarnreg: bad binary data '0g'"},
        {{"set", "HKCU\\Software\\New", "b", "123", "--type", "binary"},
         "tarnreg: bad binary data '123'"},
        {{"set", "HKCU\\Software\\New", "b", "01,,02", "--type", "binary"},
         "tarnreg: bad binary data '01,,02'"},
        {{"query", "HKCU\\Software\\Nowhere"},
         "tarnreg: key not found: HKEY_CURRENT_USER\\Software\\Nowhere\n"},
        {{"query", "HKCU\\Software\\Here", ""},
         "tarnreg: value (Default) not found in HKEY_CURRENT_USER\\Software\\Here\n"},
        {{"delete", "HKLM\\Software\\Nowhere"},
         "tarnreg: key not found: HKEY_LOCAL_MACHINE\\Software\\Nowhere\n"},
        {{"delete", "HKCU\\Software\\Here", "w"},
         "tarnreg: value 'w' not found in HKEY_CURRENT_USER\\Software\\Here\n"},
        {{"delete", "HKCU"}, "tarnreg: the root key HKEY_CURRENT_USER can not be deleted\n"},
        {{"export", "HKCU\\Software\\Nowhere", (root / "x.reg").string()},
         "tarnreg: key not found: HKEY_CURRENT_USER\\Software\\Nowhere\n"},
        {{"export", "HKCU\\Software\\Here", "/proc/tarnreg-none/x.reg"},
         "tarnreg: can not write /proc/tarnreg-none/x.reg: "},
        {{"import", (root / "absent.reg").string()}, "tarnreg: can not read "},
    };
    for (const Case& c : cases) {
        const RunResult result = run(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.message;
        EXPECT_TRUE(result.err.starts_with(c.message)) << result.err;
        EXPECT_EQ(result.err.find("Usage:"), std::string::npos) << result.err;
    }
    auto hive = HiveFile::open(Hive::CurrentUser);
    EXPECT_FALSE(hive->findKey(kRootKey, "Software\\New"));
    EXPECT_TRUE(hive->findKey(kRootKey, "Software\\Here"));
    EXPECT_FALSE(std::filesystem::exists(root / "x.reg"));
}

TEST_F(CommandTest, StoreErrorsArePrintedAndTheDamagedHiveLeftAsFound) {
    const std::filesystem::path userHive = configHome / "tarnview" / "user.hive";
    const std::string garbage(4096, 'x');
    writeFile(userHive, garbage);
    const RunResult result = run({"query", "HKCU\\Software"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.starts_with("tarnreg: The settings file " + userHive.string()))
        << result.err;
    EXPECT_EQ(readFile(userHive), garbage);
}

TEST_F(CommandTest, HelpNamesEveryCommandOptionAndExitCode) {
    for (const char* flag : {"--help", "-h"}) {
        const RunResult result = run({flag});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        for (const char* part :
             {"query KEY [NAME]", "set KEY NAME DATA [--type sz|dword|binary]", "delete KEY [NAME]",
              "export KEY FILE [--regedit4]", "import FILE", "--help", "HKEY_CURRENT_USER", "HKCU",
              "HKEY_LOCAL_MACHINE", "HKLM", "TARNVIEW_MACHINE_HIVE", "(Default)", "[-KEY]",
              "\"name\"=-", "Exit status: 0", "1 failed", "2 wrong"}) {
            EXPECT_NE(result.out.find(part), std::string::npos) << part;
        }
    }
    EXPECT_EQ(run({"set", "--help"}).exitCode, 0);
}

}  // namespace
}  // namespace tarn::test
