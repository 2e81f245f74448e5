#include "policy/list_build.h"

#include <malloc.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "policy/filter_cache.h"

namespace tarn {
namespace {

// The matcher numbers the bytes of its distinct entry prefixes with 31 bits.
std::string tooLarge(const std::vector<std::filesystem::path>& files) {
    std::string message =
        "The group's lists are too large to load: their entries hold more than 2,147,483,647 "
        "characters that differ, the most Tarnview can match.";
    if (!files.empty()) {
        message += " Shorten or split the list files:";
        for (const std::filesystem::path& file : files)
            message += " \"" + file.string() + "\"";
        message += ".";
    }
    return message;
}

// A filter kept by another version of the program may be laid out differently.
constexpr char kProgramVersion[] = "Tarnview " TARN_VERSION ", lists read as UTF-8 or UTF-16";

}  // namespace

ListBuild::ListBuild(ListSources sources, std::filesystem::path cacheFolder)
    : sources_(std::move(sources)), cacheFolder_(std::move(cacheFolder)) {}

void ListBuild::run(const std::function<void()>& ready) {
    const FilterCache cache(cacheFolder_);
    const ListFingerprint fingerprint = sources_.fingerprint(kProgramVersion);
    bool built = false;
    try {
        if (auto cached = cache.load(sources_.choice(), fingerprint)) {
            filter_ = std::move(cached->filter);
            counts_ = cached->counts;
            fromCache_ = true;
        } else {
            const LoadedLists loaded = sources_.lists();
            const ListViews& lists = loaded.views;
            counts_ = {lists.ExclusionList.size(), lists.WordList.size(),
                       lists.InclusionList.size()};
            filter_ = std::make_shared<const UrlFilter>(lists);
            built = true;
        }
    } catch (const std::bad_alloc&) {
        error_ = "There is not enough memory to load the group's lists..";
    } catch (const std::length_error&) {
        error_ = tooLarge(sources_.filePaths());
    } catch (const std::exception& failure) {
        error_ = failure.what();
    }
    if (built) {
        // The lists and the building's scratch memory are freed; hand the pages back.
        malloc_trim(0);
    }
    {
        const std::lock_guard lock(mutex_);
        ready_ = true;
    }
    readyChanged_.notify_all();
    if (ready) {
        ready();
    }
    if (built) {
        cache.store(sources_.choice(), fingerprint, {filter_, counts_});
    }
}

bool ListBuild::cacheKept() const {
    std::error_code error;
    return std::filesystem::exists(FilterCache(cacheFolder_).fileFor(sources_.choice()), error);
}

bool ListBuild::waitReady(std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return readyChanged_.wait_for(lock, limit, [this] { return ready_; });
}

}  // namespace tarn
