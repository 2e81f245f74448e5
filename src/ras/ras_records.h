#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "ras/ras_api.h"

namespace tarn {

// Whether `records` records of `recordSize` bytes fit the caller's buffer of `*bytes`. Either way
// `*count` says how many there are; when they do not fit, `*bytes` says how much they need.
inline bool recordsFit(std::size_t records, std::size_t recordSize, RasDword* bytes,
                       RasDword* count) {
    const auto needed = static_cast<RasDword>(records * recordSize);
    *count = static_cast<RasDword>(records);
    if (*bytes >= needed)
        return true;
    *bytes = needed;
    return false;
}

// Copies `text` into a record's text field of `size` bytes, cut to fit and always ended.
inline void copyRecordText(char* target, std::size_t size, std::string_view text) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

}  // namespace tarn
