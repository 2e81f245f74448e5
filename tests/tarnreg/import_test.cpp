#include <gtest/gtest.h>

#include "settings/hive_file.h"
#include "tarnreg/text_encoding.h"
#include "tarnreg_fixture.h"

namespace tarn::test {
namespace {

class ImportTest : public TarnregTest {
  protected:
    void SetUp() override {
        TarnregTest::SetUp();
        user = HiveFile::open(Hive::CurrentUser);
        machine = HiveFile::open(Hive::LocalMachine);
    }

    RunResult import(const std::string& fileBytes) {
        writeFile(root / "in.reg", fileBytes);
        return run({"import", (root / "in.reg").string()});
    }

    std::optional<HiveValue> value(HiveFile& hive, std::string_view key, std::string_view name) {
        const auto id = hive.findKey(kRootKey, key);
        return id ? hive.readValue(*id, name) : std::nullopt;
    }

    std::shared_ptr<HiveFile> user, machine;
};

std::string version5(const std::string& utf8Text) {
    return "\xff\xfe" + reg::utf8ToUtf16le(utf8Text);
}

TEST_F(ImportTest, HandWrittenVersion5FileWithDeletions) {
    user->writeValue(user->createKey(kRootKey, "Software\\Old\\Sub"), "v", kRegString, "old");
    const KeyId keep = user->createKey(kRootKey, "Software\\Keep");
    user->writeValue(keep, "gone", kRegString, "x");
    user->writeValue(keep, "stay", kRegString, "y");
    machine->writeValue(machine->createKey(kRootKey, "Software\\Policy"), "old", kRegString, "1");

    const RunResult result =
        import(version5("Windows Registry Editor Version 5.00\r\n"
                        "\r\n"
                        "; policy for the lab machines\r\n"
                        "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                        "[-HKEY_CURRENT_USER\\Software\\NeverWasThere]\r\n"
                        "\r\n"
                        "[HKEY_CURRENT_USER\\Software\\Keep]\r\n"
                        "\"gone\"=-\r\n"
                        "\"absent\"=-\r\n"
                        "\"new\"=\"Gr\xc3\xbc\xc3\x9f"
                        "e \\\"quoted\\\" C:\\\\path\"\r\n"
                        "@=\"default\"\r\n"
                        "\r\n"
                        "[hklm\\software\\POLICY]\r\n"
                        "\"OLD\"=dword:0000002A\r\n"
                        "\"blob\"=hex:de,ad,\\\r\n"
                        "  be,ef\r\n"
                        "\"expand\"=hex(2):25,00,50,00,00,00\r\n"
                        "\r\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\Policy\\Empty]\r\n"
                        "\r\n"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out + result.err, "");

    EXPECT_FALSE(user->findKey(kRootKey, "Software\\Old"));
    EXPECT_TRUE(user->findKey(kRootKey, "Software"));
    EXPECT_FALSE(user->findKey(kRootKey, "Software\\NeverWasThere"));
    EXPECT_EQ(user->valueNames(keep), (std::vector<std::string>{"stay", "new", ""}));
    EXPECT_EQ(value(*user, "Software\\Keep", "new")->data,
              "Gr\xc3\xbc\xc3\x9f"
              "e \"quoted\" C:\\path");
    EXPECT_EQ(value(*user, "Software\\Keep", "")->data, "default");

    const auto old = value(*machine, "Software\\Policy", "old");
    EXPECT_EQ(old->name, "old");
    EXPECT_EQ(old->type, kRegDword);
    EXPECT_EQ(old->data, std::string("\x2a\0\0\0", 4));
    EXPECT_EQ(value(*machine, "Software\\Policy", "blob")->data, "\xde\xad\xbe\xef");
    const auto expand = value(*machine, "Software\\Policy", "expand");
    EXPECT_EQ(expand->type, 2);
    EXPECT_EQ(expand->data, std::string("%\0P\0\0\0", 6));
    EXPECT_TRUE(machine->findKey(kRootKey, "Software\\Policy\\Empty"));
    EXPECT_FALSE(user->findKey(kRootKey, "Software\\Policy"));
}

TEST_F(ImportTest, AMalformedLineInTheMiddleChangesNothing) {
    user->writeValue(user->createKey(kRootKey, "Software\\Existing"), "v", kRegString, "before");
    machine->writeValue(machine->createKey(kRootKey, "Software\\Existing"), "v", kRegString,
                        "before");
    const std::string userBefore = exported("HKCU");
    const std::string machineBefore = exported("HKLM");

    auto fileWith = [](const std::string& line7) {
        return "REGEDIT4\r\n"
               "\r\n"
               "[-HKEY_CURRENT_USER\\Software\\Existing]\r\n"
               "[HKEY_LOCAL_MACHINE\\Software\\Existing]\r\n"
               "\"v\"=\"changed\"\r\n"
               "\"new\"=dword:00000001\r\n" +
               line7 +
               "\r\n"
               "[HKEY_CURRENT_USER\\Software\\Later]\r\n"
               "\"x\"=\"y\"\r\n";
    };
    const char* badLines[] = {
        "\"bad\"=dword:1234567890",
        "\"bad\"=dword:-1",
        "\"bad\"=hex:01,zz",
        "\"bad\"=hex(7)41,00",
        "[HKEY_CLASSES_ROOT\\Software\\X]",
        "[-HKEY_USERS\\S-1-5-18]",
        "\"unterminated=\"x\"",
        "\"s\"=\"C:\\path\"",
        "[HKEY_CURRENT_USER\\Software\\X",
        "garbage",
    };
    for (const char* bad : badLines) {
        const RunResult result = import(fileWith(bad));
        EXPECT_EQ(result.exitCode, 1) << bad;
        EXPECT_TRUE(result.err.starts_with("tarnreg: " + (root / "in.reg").string() + ", line 7: "))
            << result.err;
        EXPECT_TRUE(result.err.ends_with(std::string(": ") + bad + "\n")) << result.err;
        EXPECT_EQ(exported("HKCU"), userBefore) << bad;
        EXPECT_EQ(exported("HKLM"), machineBefore) << bad;
    }

    // The same file with the line fixed does all of it.
    const RunResult fixed = import(fileWith("\"good\"=hex:01"));
    EXPECT_EQ(fixed.exitCode, 0) << fixed.err;
    EXPECT_FALSE(user->findKey(kRootKey, "Software\\Existing"));
    EXPECT_EQ(value(*machine, "Software\\Existing", "v")->data, "changed");
    EXPECT_EQ(value(*machine, "Software\\Existing", "good")->data, "\x01");
    EXPECT_EQ(value(*user, "Software\\Later", "x")->data, "y");
}

TEST_F(ImportTest, LinesOfAVersion5FileAreCountedAsWritten) {
    const RunResult result = import(version5(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKCU\\Software\\A]\r\n\"\xc3\xbc\"=\"1\"\r\n"
        "\"d\"=dword:xyz\r\n"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(", line 5: bad dword data: expected 1 to 8 hexadecimal digits: "
                              "\"d\"=dword:xyz\n"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(user->findKey(kRootKey, "Software\\A"));
}

TEST_F(ImportTest, AHiveThatCanNotBeWrittenStopsTheWholeImport) {
    setenv("TARNVIEW_MACHINE_HIVE", "/proc/tarnreg-none/machine.hive", 1);
    const RunResult result = import(
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"v\"=\"1\"\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n\"v\"=\"1\"\r\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(
        result.err.starts_with("tarnreg: The settings file /proc/tarnreg-none/machine.hive"))
        << result.err;
    EXPECT_FALSE(user->findKey(kRootKey, "Software\\A"));
}

}  // namespace
}  // namespace tarn::test
