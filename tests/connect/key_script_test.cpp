// Key-stroke scripts compile to the codes the sender works from, and a script that could send
// the wrong keys is refused whole.
#include "connect/key_script.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

std::string codes(std::initializer_list<int> list) {
    std::string result;
    for (int code : list)
        result.push_back(static_cast<char>(code));
    return result;
}

TEST(KeyScriptTest, ModifiersAndNamedKeysCompileToTheirCodes) {
    struct Case {
        const char* prefix;
        const char* text;
        std::string expected;
    };
    for (const Case& c : {
             Case{"{ALT}", "f", codes({254, 'f', 255})},
             Case{"{CTRL}{SHIFT}", "a", codes({252, 250, 'a', 251, 253})},
             Case{"", "ab{TAB}c{ENTER}", codes({'a', 'b', 9, 'c', 13})},
             Case{"{SHIFT}{ALT}{CTRL}", "", codes({250, 254, 252, 253, 255, 251})},
             Case{"", "{BKSP}{ESC}{F1}{F10}{F12}", codes({8, 27, 228, 237, 239})},
             Case{"", "{HOME}{END}{UP}{DOWN}{LEFT}{RIGHT}{PGUP}{PGDN}{INS}{DEL}",
                  codes({240, 241, 242, 243, 244, 245, 246, 247, 248, 249})},
             Case{"", "{SHIFT-DN}A{SHIFT-UP}", codes({250, 'A', 251})},
             // A closing brace alone and a character of 228 or more are text like any other.
             Case{"", "}x\xe4", codes({'}', 'x', 228})},
             Case{"", "", ""},
         }) {
        const KeyScript script = BuildKeyScript(c.prefix, c.text);
        EXPECT_EQ(script.error, "") << c.prefix << c.text;
        EXPECT_EQ(script.codes, c.expected) << c.prefix << c.text;
    }
}

TEST(KeyScriptTest, AScriptThatWouldSendTheWrongKeysIsRefusedWhole) {
    struct Case {
        const char* prefix;
        const char* text;
        const char* error;
    };
    for (const Case& c : {
             Case{"", "pass{TAB", "The key script has a \"{\" with no \"}\" after it."},
             Case{"", "a{tab}", "The key script names a key that does not exist: {tab}."},
             Case{"", "{F13}", "The key script names a key that does not exist: {F13}."},
             Case{"", "{F0}", "The key script names a key that does not exist: {F0}."},
             Case{"", "{}", "The key script names a key that does not exist: {}."},
             Case{"{WIN}", "r", "The modifier {WIN} is not one of {SHIFT}, {ALT} and {CTRL}."},
             Case{"{", "r", "The modifier { is not one of {SHIFT}, {ALT} and {CTRL}."},
             Case{"{ALT}{ALT}{ALT}{ALT}", "f", "A key script holds at most three modifiers."},
         }) {
        const KeyScript script = BuildKeyScript(c.prefix, c.text);
        EXPECT_EQ(script.error, c.error) << c.prefix << c.text;
        EXPECT_EQ(script.codes, "") << c.prefix << c.text;
    }
    EXPECT_EQ(KeyNameToCode("TAB"), 9);
    EXPECT_EQ(KeyNameToCode("Tab"), -1);
    EXPECT_EQ(KeyNameToCode("F1x"), -1);
}

}  // namespace
}  // namespace tarn
