#include "session/admin_password.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

bool isExcludedByte(unsigned char c) {
    return c <= 32 || c == 61 || c == 91 || c == 93 || (c >= 127 && c <= 144) ||
           (c >= 147 && c <= 159);
}

struct KnownHash {
    std::string password;
    std::string hash;
};

// Worked by hand. "mix c,k" is c XOR k unless that lands in the excluded set; n is the length.
const KnownHash kKnownHashes[] = {
    // n=1, no backward pass: 'A'=41; ^n 40; ^1 41.
    {"a", "\x41"},
    // n=2, "AB" = 41 42.
    // forward  i=1: 41 ^2=43 ^1=42          -> 42
    //          i=2: 42 ^2=40 ^2=42 ^42=00 (excluded, stays 42)          -> 42
    // backward j=2: 42 ^2=40 ^2A=6A         -> 6A
    //          j=1: 42 ^2=40 ^1=41 ^6A=2B   -> 2B
    {"AB", "\x2B\x6A"},
    {"ab", "\x2B\x6A"},
    // n=2, "==" = 3D 3D.
    // forward  i=1: 3D ^2=3F ^1=3E          -> 3E
    //          i=2: 3D ^2=3F, ^2=3D (excluded, stays 3F), ^3E=01 (excluded, stays 3F) -> 3F
    // backward j=2: 3F ^2=3D (excluded, stays 3F), ^2A=15 (excluded, stays 3F)      -> 3F
    //          j=1: 3E ^2=3C, ^1=3D (excluded, stays 3C), ^3F=03 (excluded, stays 3C) -> 3C
    {"==", "\x3C\x3F"},
    // n=3, "ABC" = 41 42 43.
    // forward  i=1: 41 ^3=42 ^1=43                          -> 43
    //          i=2: 42 ^3=41 ^2=43 ^43=00 (excluded, stays)  -> 43
    //          i=3: 43 ^3=40 ^3=43 ^43=00 (excluded, stays)  -> 43
    // backward j=3: 43 ^3=40 ^2A=6A                         -> 6A
    //          j=2: 43 ^3=40 ^2=42 ^6A=28                   -> 28
    //          j=1: 43 ^3=40 ^1=41 ^28=69                   -> 69
    {"abc", "\x69\x28\x6A"},
    // n=2, UTF-8 "é" = C3 A9; not a to z, so not upper-cased.
    // forward  i=1: C3 ^2=C1 ^1=C0                          -> C0
    //          i=2: A9 ^2=AB ^2=A9 ^C0=69                   -> 69
    // backward j=2: 69 ^2=6B ^2A=41                         -> 41
    //          j=1: C0 ^2=C2 ^1=C3 ^41=82 (excluded, stays)  -> C3
    {"\xC3\xA9", "\xC3\x41"},
};

TEST(HashAdminPassword, MatchesHandWorkedValues) {
    for (const KnownHash& known : kKnownHashes) {
        EXPECT_EQ(HashAdminPassword(known.password), known.hash) << known.password;
    }
}

TEST(HashAdminPassword, EmptyGivesEmpty) {
    EXPECT_EQ(HashAdminPassword(""), "");
}

TEST(HashAdminPassword, IgnoresCaseOfAsciiLettersOnly) {
    EXPECT_EQ(HashAdminPassword("secret Pass-99"), HashAdminPassword("SECRET pASS-99"));
    EXPECT_EQ(HashAdminPassword("zebra{a}"), HashAdminPassword("ZEBRA{A}"));
    EXPECT_NE(HashAdminPassword("x{"), HashAdminPassword("x["));
    EXPECT_NE(HashAdminPassword("\xC3\xA9t\xC3\xA9"), HashAdminPassword("\xC3\x89T\xC3\x89"));
}

TEST(HashAdminPassword, KeepsLengthAndStaysOutsideTheExcludedSet) {
    std::string printable;
    for (int c = 0; c < 256; ++c) {
        if (!isExcludedByte(static_cast<unsigned char>(c))) {
            printable += static_cast<char>(c);
        }
    }
    // Every length up to the longest supported, and longer ones too.
    for (size_t length = 1; length <= 300; ++length) {
        std::string password;
        for (size_t i = 0; i < length; ++i) {
            password += printable[(i * 37 + length) % printable.size()];
        }
        const std::string hash = HashAdminPassword(password);
        ASSERT_EQ(hash.size(), length);
        for (char c : hash) {
            ASSERT_FALSE(isExcludedByte(static_cast<unsigned char>(c)))
                << "length " << length << " byte " << int(static_cast<unsigned char>(c));
        }
    }
}

}  // namespace
}  // namespace tarn
