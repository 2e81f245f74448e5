#include "tarnreg/text_encoding.h"

#include <cstdint>

namespace tarn::reg {
namespace {

// Decodes the code point starting at `pos`, advancing `pos`; empty on malformed input.
std::optional<char32_t> nextCodePoint(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length = 0;
    char32_t point = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xe0) == 0xc0) {
        length = 2, point = lead & 0x1f, minimum = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3, point = lead & 0x0f, minimum = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4, point = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos < length) {
        return std::nullopt;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xc0) != 0x80) {
            return std::nullopt;
        }
        point = (point << 6) | (next & 0x3f);
    }
    if (point < minimum || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff)) {
        return std::nullopt;
    }
    pos += length;
    return point;
}

void appendUnit(std::string& out, std::uint16_t unit) {
    out.push_back(static_cast<char>(unit & 0xff));
    out.push_back(static_cast<char>(unit >> 8));
}

void appendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xc0 | (point >> 6)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3f)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xe0 | (point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3f)));
    } else {
        out.push_back(static_cast<char>(0xf0 | (point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3f)));
    }
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        if (!nextCodePoint(text, pos)) {
            return false;
        }
    }
    return true;
}

size_t characterCount(std::string_view utf8) {
    size_t count = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) {
            ++count;
        }
    }
    return count;
}

std::string utf8ToUtf16le(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    size_t pos = 0;
    while (pos < utf8.size()) {
        std::optional<char32_t> decoded = nextCodePoint(utf8, pos);
        if (!decoded) {
            ++pos;
            decoded = U'\ufffd';
        }
        const char32_t point = *decoded;
        if (point >= 0x10000) {
            const char32_t offset = point - 0x10000;
            appendUnit(out, static_cast<std::uint16_t>(0xd800 + (offset >> 10)));
            appendUnit(out, static_cast<std::uint16_t>(0xdc00 + (offset & 0x3ff)));
        } else {
            appendUnit(out, static_cast<std::uint16_t>(point));
        }
    }
    return out;
}

std::optional<std::string> utf16leToUtf8(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    auto unitAt = [&](size_t index) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[index]) |
                                     (static_cast<unsigned char>(bytes[index + 1]) << 8));
    };
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        char32_t unit = unitAt(i);
        if (unit >= 0xdc00 && unit <= 0xdfff) {
            return std::nullopt;
        }
        if (unit >= 0xd800 && unit <= 0xdbff) {
            if (i + 4 > bytes.size()) {
                return std::nullopt;
            }
            const char32_t low = unitAt(i + 2);
            if (low < 0xdc00 || low > 0xdfff) {
                return std::nullopt;
            }
            unit = 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00);
            i += 2;
        }
        appendUtf8(out, unit);
    }
    return out;
}

}  // namespace tarn::reg
