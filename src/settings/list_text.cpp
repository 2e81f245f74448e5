#include "settings/list_text.h"

#include <cstdint>
#include <cstring>

namespace tarn {
namespace {

bool validUtf8(const unsigned char* text, size_t size) {
    size_t i = 0;
    while (i < size) {
        // Most list files are ASCII: eight bytes at a time while no high bit and no zero is set.
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, text + i, 8);
            const bool ascii = (word & 0x8080808080808080ULL) == 0;
            const bool zero = ((word - 0x0101010101010101ULL) & ~word & 0x8080808080808080ULL) != 0;
            if (!ascii || zero)
                break;
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned char c = text[i];
        if (c == 0)
            return false;
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        std::uint32_t point;
        if ((c & 0xE0) == 0xC0) {
            length = 2;
            point = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            point = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            point = c & 0x07;
        } else {
            return false;
        }
        if (i + length > size)
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((text[i + k] & 0xC0) != 0x80)
                return false;
            point = point << 6 | (text[i + k] & 0x3F);
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kSmallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void appendUtf8(LargeVector<char>& out, std::uint32_t point) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | point >> 6));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | point >> 12));
        out.push_back(static_cast<char>(0x80 | (point >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | point >> 18));
        out.push_back(static_cast<char>(0x80 | (point >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

std::optional<LargeVector<char>> fromUtf16(const unsigned char* text, size_t size, bool bigEndian) {
    if (size % 2 != 0)
        return std::nullopt;
    LargeVector<char> out;
    out.reserve(size + size / 2);
    const auto unit = [&](size_t at) -> std::uint32_t {
        return bigEndian ? (text[at] << 8 | text[at + 1]) : (text[at + 1] << 8 | text[at]);
    };
    for (size_t i = 0; i < size; i += 2) {
        std::uint32_t point = unit(i);
        if (point == 0)
            return std::nullopt;
        if (point >= 0xD800 && point <= 0xDBFF) {
            if (i + 4 > size)
                return std::nullopt;
            const std::uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                return std::nullopt;
            point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (point >= 0xDC00 && point <= 0xDFFF) {
            return std::nullopt;
        }
        appendUtf8(out, point);
    }
    return out;
}

}  // namespace

std::optional<LargeVector<char>> listText(LargeVector<char> bytes) {
    const auto* text = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    if (size >= 2 && text[0] == 0xFF && text[1] == 0xFE)
        return fromUtf16(text + 2, size - 2, false);
    if (size >= 2 && text[0] == 0xFE && text[1] == 0xFF)
        return fromUtf16(text + 2, size - 2, true);
    size_t start = 0;
    if (size >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF)
        start = 3;
    if (!validUtf8(text + start, size - start))
        return std::nullopt;
    if (start != 0)
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
    return bytes;
}

}  // namespace tarn
