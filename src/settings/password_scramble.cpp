#include "settings/password_scramble.h"

#include <cstdint>

namespace tarn {
namespace {

// The running key starts from this value for every text. It is unsigned so that texts longer
// than the stored passwords ever are wrap instead of overflowing; bits 8 to 15, the only ones
// used, come out the same either way.
constexpr std::uint32_t kKeySeed = 24613;

unsigned char keyByte(std::uint32_t key) {
    return static_cast<unsigned char>((key >> 8) & 0xFF);
}

}  // namespace

std::string scramblePassword(std::string_view plain) {
    std::string scrambled(plain.size(), '\0');
    std::uint32_t key = kKeySeed;
    for (size_t i = 0; i < plain.size(); ++i) {
        const auto byte =
            static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ keyByte(key));
        scrambled[i] = static_cast<char>(byte);
        key += byte;
    }
    return scrambled;
}

std::string unscramblePassword(std::string_view scrambled) {
    std::string plain(scrambled.size(), '\0');
    std::uint32_t key = kKeySeed;
    for (size_t i = 0; i < scrambled.size(); ++i) {
        const auto byte = static_cast<unsigned char>(scrambled[i]);
        plain[i] = static_cast<char>(byte ^ keyByte(key));
        key += byte;
    }
    return plain;
}

}  // namespace tarn
