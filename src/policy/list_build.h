#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "policy/url_filter.h"
#include "settings/list_sources.h"

namespace tarn {

struct ListCounts {
    std::size_t exclusions = 0;
    std::size_t words = 0;
    std::size_t inclusions = 0;

    bool operator==(const ListCounts&) const = default;
};

// The filter for a group's lists, made away from the window's thread so that a million-line list
// never holds up the window: taken from the cache in `cacheFolder` when the lists are as they
// were when it was kept, else read and built, and kept there for the next time.
class ListBuild {
  public:
    ListBuild(ListSources sources, std::filesystem::path cacheFolder);
    ListBuild(const ListBuild&) = delete;
    ListBuild& operator=(const ListBuild&) = delete;

    // Once, on any thread; never throws: a failure is kept as the error. `ready` is called as
    // soon as the filter (or the error) is there, before a new filter is written to the cache.
    void run(const std::function<void()>& ready = {});
    bool fromCache() const { return fromCache_; }
    // Whether the cache keeps a filter for these lists' choice, still to be checked against them:
    // a build that finds it current is done in milliseconds.
    bool cacheKept() const;
    // Waits at most `limit` for run to have the filter or the error; whether it has.
    bool waitReady(std::chrono::milliseconds limit) const;

    // After run: the filter, or none when the lists could not be read or built.
    std::shared_ptr<const UrlFilter> filter() const { return filter_; }
    const std::string& error() const { return error_; }
    const ListCounts& counts() const { return counts_; }

  private:
    ListSources sources_;
    std::filesystem::path cacheFolder_;
    bool fromCache_ = false;
    std::shared_ptr<const UrlFilter> filter_;
    std::string error_;
    ListCounts counts_;
    mutable std::mutex mutex_;
    mutable std::condition_variable readyChanged_;
    bool ready_ = false;
};

}  // namespace tarn
