#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "policy/list_build.h"
#include "policy/url_filter.h"

namespace tarn {

// What a kept filter was built from: the lists' fingerprint under this program version.
using ListFingerprint = std::array<std::uint64_t, 2>;

struct CachedFilter {
    std::shared_ptr<const UrlFilter> filter;
    ListCounts counts;
};

// Built filters kept in files beside the user's hive, one for each choice of lists, so that a
// sign-on under lists that have not changed maps the matchers in rather than building them. A
// file is used only when it is a regular file of this user's that nobody else may write, whole
// (a checksum over every byte), and built from lists of exactly this fingerprint; anything else
// is a miss, and the caller builds afresh.
class FilterCache {
  public:
    explicit FilterCache(std::filesystem::path folder);

    std::optional<CachedFilter> load(std::string_view choice,
                                     const ListFingerprint& fingerprint) const;
    // Writes to a new file and renames it into place, so that a reader sees the old file or the
    // new one whole. False when it could not be written; the program works on without it.
    bool store(std::string_view choice, const ListFingerprint& fingerprint,
               const CachedFilter& built) const;

    std::filesystem::path fileFor(std::string_view choice) const;

  private:
    std::filesystem::path folder_;
};

}  // namespace tarn
