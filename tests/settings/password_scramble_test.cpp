#include "settings/password_scramble.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

TEST(PasswordScramble, EmptyStaysEmpty) {
    EXPECT_EQ(scramblePassword(""), "");
    EXPECT_EQ(unscramblePassword(""), "");
}

TEST(PasswordScramble, MatchesHandWorkedValues) {
    // The key starts at 24613 = 0x6025, so the first key byte is 0x60.
    EXPECT_EQ(scramblePassword("\x60"), std::string(1, '\0'));
    EXPECT_EQ(unscramblePassword(std::string(1, '\0')), "\x60");
    // 'a' ^ 60 = 01, key 6026; 'b' ^ 60 = 02.
    EXPECT_EQ(scramblePassword("ab"), "\x01\x02");
    // FF ^ 60 = 9F, key 60C4; FF ^ 60 = 9F, key 6163; 'a' ^ 61 = 00.
    EXPECT_EQ(scramblePassword("\xFF\xFF"
                               "a"),
              std::string("\x9F\x9F\0", 3));
}

TEST(PasswordScramble, RoundTripsEveryLengthAndByte) {
    for (size_t length = 0; length <= 255; ++length) {
        std::string plain;
        for (size_t i = 0; i < length; ++i) {
            plain += static_cast<char>((i * 97 + length * 13) % 256);
        }
        const std::string scrambled = scramblePassword(plain);
        ASSERT_EQ(scrambled.size(), length);
        if (length > 0) {
            EXPECT_NE(scrambled, plain) << length;
        }
        ASSERT_EQ(unscramblePassword(scrambled), plain) << length;
    }
}

TEST(PasswordScramble, LongerTextsKeepTheirFullLength) {
    const std::string plain(5000, 'q');
    const std::string scrambled = scramblePassword(plain);
    EXPECT_EQ(scrambled.size(), plain.size());
    EXPECT_EQ(unscramblePassword(scrambled), plain);
}

}  // namespace
}  // namespace tarn
