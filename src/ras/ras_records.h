#pragma once

#include <cstddef>

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

}  // namespace tarn
