#include "tarnreg/value_data.h"

namespace tarn::reg {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<std::uint32_t> parseHex32(std::string_view text) {
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<std::uint32_t> parseDword(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return parseHex32(text.substr(2));
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > 0xffffffffu) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::string> parseHexBytes(std::string_view text) {
    std::string bytes;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(',', start);
        const bool last = end == std::string_view::npos;
        if (last) {
            end = text.size();
        }
        const std::string_view item = trimBlanks(text.substr(start, end - start));
        if (!(last && item.empty())) {
            const auto value = parseHex32(item);
            if (!value || item.size() > 2) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<char>(*value));
        }
        start = end + 1;
    }
    return bytes;
}

std::string formatHexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (i > 0) {
            text += ',';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0f];
    }
    return text;
}

std::string dwordBytes(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return bytes;
}

std::optional<std::uint32_t> dwordOf(int type, std::string_view data) {
    if (type != kRegDword || data.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
        number = (number << 8) | static_cast<unsigned char>(data[i]);
    }
    return number;
}

bool isSingleLineText(std::string_view data) {
    return data.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

std::string typeName(int type) {
    static constexpr const char* kNames[] = {"REG_NONE",
                                             "REG_SZ",
                                             "REG_EXPAND_SZ",
                                             "REG_BINARY",
                                             "REG_DWORD",
                                             "REG_DWORD_BIG_ENDIAN",
                                             "REG_LINK",
                                             "REG_MULTI_SZ",
                                             "REG_RESOURCE_LIST",
                                             "REG_FULL_RESOURCE_DESCRIPTOR",
                                             "REG_RESOURCE_REQUIREMENTS_LIST",
                                             "REG_QWORD"};
    if (type >= 0 && type < static_cast<int>(std::size(kNames))) {
        return kNames[type];
    }
    return "REG_TYPE_" + std::to_string(static_cast<std::uint32_t>(type));
}

}  // namespace tarn::reg
