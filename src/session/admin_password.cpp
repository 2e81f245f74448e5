#include "session/admin_password.h"

namespace tarn {
namespace {

// Bytes a mixing step never produces, so that the hash of a printable password stays printable.
bool isExcluded(unsigned char c) {
    return c <= 32 || c == '=' || c == '[' || c == ']' || (c >= 127 && c <= 144) ||
           (c >= 147 && c <= 159);
}

unsigned char mix(unsigned char c, size_t key) {
    const auto mixed = static_cast<unsigned char>(c ^ (key & 0xFF));
    return isExcluded(mixed) ? c : mixed;
}

unsigned char upperAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

}  // namespace

std::string HashAdminPassword(std::string_view password) {
    const size_t n = password.size();
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        s[i] = static_cast<char>(upperAscii(password[i]));
    }
    auto at = [&](size_t position) { return static_cast<unsigned char>(s[position - 1]); };

    for (size_t i = 1; i <= n; ++i) {
        unsigned char c = mix(mix(at(i), n), i);
        if (i > 1) {
            c = mix(c, at(i - 1));
        }
        s[i - 1] = static_cast<char>(c);
    }
    if (n > 1) {
        for (size_t j = n; j >= 1; --j) {
            unsigned char c = mix(at(j), n);
            c = j == n ? mix(c, 42) : mix(mix(c, j), at(j + 1));
            s[j - 1] = static_cast<char>(c);
        }
    }
    return s;
}

}  // namespace tarn
