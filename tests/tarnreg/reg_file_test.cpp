#include <gtest/gtest.h>

#include "tarnreg/reg_error.h"
#include "tarnreg/reg_reader.h"
#include "tarnreg/reg_writer.h"
#include "tarnreg/value_data.h"

namespace tarn::reg {
namespace {

std::string bytesUpTo(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<char>(i));
    }
    return bytes;
}

// Spells every kind of value the writer must handle.
std::vector<RegKeyEntry> awkwardKeys() {
    RegKeyEntry key{{Hive::CurrentUser, "Software\\T"}, false, {}};
    key.values = {
        {"", false, kRegString, "a \"q\" \\b"},
        {"dw", false, kRegDword, dwordBytes(0x1f)},
        {"name \"x\"", false, kRegString, ""},
        {"bin", false, kRegBinary, bytesUpTo(60)},
        {"empty", false, kRegBinary, ""},
        {"multi", false, 7, std::string("a\0\0", 3)},
        {"pw", false, kRegString, std::string("x\0y", 3)},
        {"crlf", false, kRegString, "a\r\nb"},
        {"odd", false, kRegDword, "\x01\x02"},
        {"qw", false, 11, "\x01"},
        {"bad", false, kRegString, "\xff\xfe"},
    };
    return {key, {{Hive::LocalMachine, "Software\\T\\Empty"}, false, {}}};
}

// What the registry editor writes for awkwardKeys(), up to the last value.
constexpr char kAwkwardBody[] =
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\T]\r\n"
    "@=\"a \\\"q\\\" \\\\b\"\r\n"
    "\"dw\"=dword:0000001f\r\n"
    "\"name \\\"x\\\"\"=\"\"\r\n"
    "\"bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\\\r\n"
    "  30,31,32,33,34,35,36,37,38,39,3a,3b\r\n"
    "\"empty\"=hex:\r\n"
    "\"multi\"=hex(7):61,00,00\r\n"
    "\"pw\"=hex(1):78,00,79\r\n"
    "\"crlf\"=hex(1):61,0d,0a,62\r\n"
    "\"odd\"=hex(4):01,02\r\n"
    "\"qw\"=hex(b):01\r\n";

constexpr char kAwkwardEnd[] =
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\T\\Empty]\r\n"
    "\r\n";

TEST(RegWriterTest, WritesTheRegistryEditorsLayout) {
    EXPECT_EQ(
        writeRegFile(RegFormat::Regedit4, awkwardKeys()),
        std::string("REGEDIT4\r\n") + kAwkwardBody + "\"bad\"=\"\xff\xfe\"\r\n" + kAwkwardEnd);
    // Version 5 carries the same lines in UTF-16, where bytes that are no UTF-8 must go hex.
    const std::string text = std::string("Windows Registry Editor Version 5.00\r\n") +
                             kAwkwardBody + "\"bad\"=hex(1):ff,fe\r\n" + kAwkwardEnd;
    std::string utf16 = "\xff\xfe";
    for (char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(writeRegFile(RegFormat::Version5, awkwardKeys()), utf16);
}

TEST(RegWriterTest, Version5EncodesTextAsUtf16) {
    const std::vector<RegKeyEntry> keys = {
        {{Hive::CurrentUser, "\xc3\xbc"},
         false,
         {{"s", false, kRegString, "\xe2\x82\xac\xf0\x9f\x98\x80"}}}};
    const std::string file = writeRegFile(RegFormat::Version5, keys);
    EXPECT_NE(file.find(std::string("\\\0\xfc\0]\0", 6)), std::string::npos);
    EXPECT_NE(file.find(std::string("\"\0\xac\x20\x3d\xd8\x00\xde\"\0", 10)), std::string::npos);
}

TEST(RegWriterTest, RefusesNamesNoRegistryFileCanCarry) {
    const std::vector<RegKeyEntry> badValueName = {
        {{Hive::CurrentUser, "Software"}, false, {{"a\nb", false, kRegString, "x"}}}};
    EXPECT_THROW(writeRegFile(RegFormat::Regedit4, badValueName), RegError);
    const std::vector<RegKeyEntry> latin1Key = {{{Hive::CurrentUser, "caf\xe9"}, false, {}}};
    EXPECT_THROW(writeRegFile(RegFormat::Version5, latin1Key), RegError);
    EXPECT_EQ(writeRegFile(RegFormat::Regedit4, latin1Key),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\caf\xe9]\r\n\r\n");
}

TEST(RegReaderTest, ReadsEveryFormOfLine) {
    const auto keys = readRegFile(
        "\xef\xbb\xbfREGEDIT4\n"
        "; a comment\r\n"
        "\n"
        "  [hkcu\\Software\\\\A]  \r\n"
        "\"\"=\"default\"\n"
        "@ = \"again \\\\ \\\" x\"\n"
        "\"d\"=dword:FFFFFFFF\n"
        "\"h\"=hex:01,  2 ,\\\n"
        "     03,\\  \n"
        "  04\n"
        "\"h2\"=HEX(2):41,00\n"
        "\"e\"=hex:\n"
        "\"gone\"=-\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Old]\n");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].key.hive, Hive::CurrentUser);
    EXPECT_EQ(keys[0].key.path, "Software\\A");
    EXPECT_FALSE(keys[0].remove);
    const std::vector<std::tuple<std::string, bool, int, std::string>> expected = {
        {"", false, kRegString, "default"},
        {"", false, kRegString, "again \\ \" x"},
        {"d", false, kRegDword, "\xff\xff\xff\xff"},
        {"h", false, kRegBinary, "\x01\x02\x03\x04"},
        {"h2", false, 2, std::string("A\0", 2)},
        {"e", false, kRegBinary, ""},
        {"gone", true, kRegString, ""},
    };
    ASSERT_EQ(keys[0].values.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const RegValueEntry& value = keys[0].values[i];
        EXPECT_EQ(std::tie(value.name, value.remove, value.type, value.data), expected[i]) << i;
    }
    EXPECT_EQ(keys[1].key.hive, Hive::LocalMachine);
    EXPECT_EQ(keys[1].key.path, "Software\\Old");
    EXPECT_TRUE(keys[1].remove);
}

TEST(RegReaderTest, DecodesUtf16Files) {
    // "...5.00" CR LF "[HKCU\x]" LF "@=" U+1F600 U+00FC, built unit by unit.
    std::string file = "\xff\xfe";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n[HKCU\\x]\n@=\"")) {
        file += c;
        file += '\0';
    }
    file += std::string("\x3d\xd8\x00\xde\xfc\x00\"\x00", 8);
    const auto keys = readRegFile(file);
    ASSERT_EQ(keys.size(), 1u);
    ASSERT_EQ(keys[0].values.size(), 1u);
    EXPECT_EQ(keys[0].values[0].data, "\xf0\x9f\x98\x80\xc3\xbc");
}

TEST(RegReaderTest, NamesTheFirstBadLine) {
    const std::string head = "REGEDIT4\n[HKCU\\A]\n\"ok\"=\"1\"\n";  // lines 1 to 3
    const struct Case {
        std::string text;
        int line;
        const char* reason;
    } cases[] = {
        {"REGEDIT5\n[HKCU\\A]\n", 1, "not a registry file"},
        {"", 1, "not a registry file"},
        {head + "\"d\"=dword:123456789\n", 4, "bad dword data"},
        {head + "\"d\"=dword:\n", 4, "bad dword data"},
        {head + "\"d\"=dword:xyz\n", 4, "bad dword data"},
        {head + "\"h\"=hex:01,0g\n", 4, "bad hex data"},
        {head + "\"h\"=hex:01,,02\n", 4, "bad hex data"},
        {head + "\"h\"=hex:123\n", 4, "bad hex data"},
        {head + "\"h\"=hex:01,\\\n  02,\\\n  zz\n\"x\"=\"1\"\n", 6, "bad hex data"},
        {head + "\"h\"=hex:01,\\\n  02,\\", 5, "the file ends inside a value"},
        {head + "\"h\"=hex(xyz):01\n", 4, "bad hex(N): type"},
        {head + "\"h\"=hex(2)01\n", 4, "bad hex(N): type"},
        {head + "[HKEY_CLASSES_ROOT\\x]\n", 4, "unsupported root 'HKEY_CLASSES_ROOT'"},
        {head + "[-HKEY_USERS\\x]\n", 4, "unsupported root 'HKEY_USERS'"},
        {head + "[-HKLM]\n", 4, "a root key can not be deleted"},
        {head + "[HKCU\\A\n", 4, "a key line must end with ]"},
        {head + "\"s\"=\"open\n", 4, "missing closing quote"},
        {head + "\"s\"=\"a\\tb\"\n", 4, "bad escape"},
        {head + "\"s\"=\"a\" trailing\n", 4, "unexpected text after the closing quote"},
        {head + "\"s\" \"a\"\n", 4, "expected = after the value name"},
        {head + "\"s\"=42\n", 4, "unrecognised data"},
        {head + "junk\n", 4, "expected a [key], a value line or a ; comment"},
        {"REGEDIT4\n\"s\"=\"a\"\n", 2, "a value line must follow a [key] line"},
        {head + "[-HKCU\\B]\n\"s\"=\"a\"\n", 5, "a value line must follow a [key] line"},
    };
    for (const Case& c : cases) {
        try {
            readRegFile(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const RegParseError& error) {
            EXPECT_EQ(error.line(), c.line) << c.text;
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

TEST(RegReaderTest, RefusesBrokenUtf16) {
    auto utf16 = [](const std::string& text) {
        std::string out;
        for (char c : text) {
            out += c;
            out += '\0';
        }
        return out;
    };
    const std::string head =
        "\xff\xfe" + utf16("Windows Registry Editor Version 5.00\r\n[HKCU\\A]\r\n");
    const std::pair<std::string, int> cases[] = {
        {head + utf16("\"s\"=\"") + std::string("\x00\xd8", 2) + utf16("\"\r\n"), 3},
        {head + utf16("\"s\"=\"") + std::string("\x00\xdc\x00\xd8", 4) + utf16("\"\r\n"), 3},
        {head + utf16("\"s\"=\"a\"\r\n") + "\x41", 4},
    };
    for (const auto& [file, line] : cases) {
        try {
            readRegFile(file);
            ADD_FAILURE() << "accepted a file broken on line " << line;
        } catch (const RegParseError& error) {
            EXPECT_EQ(error.line(), line);
            EXPECT_NE(std::string(error.what()).find("not valid UTF-16"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace tarn::reg
