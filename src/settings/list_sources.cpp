#include "settings/list_sources.h"

#include <fcntl.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <utility>

#include "platform/paths.h"
#include "settings/list_text.h"
#include "settings/settings_error.h"
#include "settings/site_lists.h"

namespace tarn {
namespace {

[[noreturn]] void cannotOpen(const std::filesystem::path& file) {
    throw SettingsError("Cannot open file \"" + file.string() + "\"");
}

// Each piece with its length, so that no two different sets of pieces hash alike.
class Digest {
  public:
    Digest() : state_(XXH3_createState()) { XXH3_128bits_reset(state_); }
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;
    ~Digest() { XXH3_freeState(state_); }

    void add(std::string_view text) {
        number(text.size());
        XXH3_128bits_update(state_, text.data(), text.size());
    }
    void number(std::uint64_t value) { XXH3_128bits_update(state_, &value, sizeof value); }
    void all(const std::vector<std::string>& entries) {
        number(entries.size());
        for (const std::string& entry : entries) {
            add(entry);
        }
    }
    std::array<std::uint64_t, 2> value() const {
        const XXH128_hash_t hash = XXH3_128bits_digest(state_);
        return {hash.low64, hash.high64};
    }

  private:
    XXH3_state_t* state_;
};

}  // namespace

OpenListFile::OpenListFile(std::filesystem::path path, FileDescriptor fd, const struct stat& info)
    : path_(std::move(path)), fd_(std::move(fd)), info_(info) {}

LargeVector<char> OpenListFile::contents() const {
    LargeVector<char> bytes(static_cast<size_t>(info_.st_size));
    // An error, or a file cut short since it was opened.
    if (!readAll(fd_.get(), bytes.data(), bytes.size(), 0)) {
        throw SettingsError("Cannot read file \"" + path_.string() + "\"");
    }
    std::optional<LargeVector<char>> text = listText(std::move(bytes));
    if (!text) {
        throw SettingsError("The list file \"" + path_.string() +
                            "\" is not text Tarnview can read: save it as UTF-8, or as UTF-16 "
                            "with its byte-order mark, then sign on again.");
    }
    return std::move(*text);
}

ListSources ListSources::read(const GroupRecord& group) {
    ListSources sources;
    const bool exclusions = group.bGroupUseExcl && !group.sGroupExclList.empty();
    const bool inclusions = group.bGroupUseIncl && !group.sGroupInclList.empty();
    if (exclusions) {
        sources.choice_ = "exclusions:" + group.sGroupExclList;
        sources.fileEntries_ = loadListPart(ListFamily::URLExclIni, group.sGroupExclList);
        sources.excluded_ = loadListEntries(ListFamily::URLExclusion, group.sGroupExclList);
        sources.words_ = loadListEntries(ListFamily::WordExclusion, group.sGroupExclList);
    }
    if (inclusions) {
        sources.choice_ += "\ninclusions:" + group.sGroupInclList;
        sources.included_ = loadListEntries(ListFamily::URLInclusion, group.sGroupInclList);
    }
    for (const std::string& entry : sources.fileEntries_) {
        const std::filesystem::path file = mapPath(entry);
        FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd) {
            if (errno == ENOENT || errno == ENOTDIR) {
                continue;  // a file that is not there yet is skipped
            }
            cannotOpen(file);
        }
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            cannotOpen(file);
        }
        sources.files_.emplace_back(file, std::move(fd), info);
    }
    return sources;
}

std::array<std::uint64_t, 2> ListSources::fingerprint(std::string_view programVersion) const {
    Digest digest;
    digest.add(programVersion);
    digest.add(choice_);
    digest.all(fileEntries_);
    for (const ListEntries* part : {&excluded_, &words_, &included_}) {
        digest.number(part->size());
        for (size_t i = 0; i < part->size(); ++i) {
            digest.add((*part)[i]);
        }
    }
    digest.number(files_.size());
    for (const OpenListFile& file : files_) {
        const struct stat& info = file.info();
        digest.add(file.path().native());
        for (const std::uint64_t value :
             {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
              static_cast<std::uint64_t>(info.st_size),
              static_cast<std::uint64_t>(info.st_mtim.tv_sec),
              static_cast<std::uint64_t>(info.st_mtim.tv_nsec),
              static_cast<std::uint64_t>(info.st_ctim.tv_sec),
              static_cast<std::uint64_t>(info.st_ctim.tv_nsec)}) {
            digest.number(value);
        }
    }
    return digest.value();
}

LoadedLists ListSources::lists() const {
    LoadedLists loaded;
    loaded.fileTexts.reserve(files_.size());
    for (const OpenListFile& file : files_) {
        loaded.fileTexts.push_back(file.contents());
        const LargeVector<char>& text = loaded.fileTexts.back();
        appendLines({text.data(), text.size()}, loaded.views.ExclusionList);
    }
    excluded_.appendTo(loaded.views.ExclusionList);
    words_.appendTo(loaded.views.WordList);
    included_.appendTo(loaded.views.InclusionList);
    return loaded;
}

std::vector<std::filesystem::path> ListSources::filePaths() const {
    std::vector<std::filesystem::path> paths;
    for (const OpenListFile& file : files_)
        paths.push_back(file.path());
    return paths;
}

GroupLists assembleGroupLists(const GroupRecord& group) {
    const ListSources sources = ListSources::read(group);
    const LoadedLists loaded = sources.lists();
    const auto copy = [](const LargeVector<std::string_view>& views) {
        return std::vector<std::string>(views.begin(), views.end());
    };
    return {copy(loaded.views.ExclusionList), copy(loaded.views.InclusionList),
            copy(loaded.views.WordList)};
}

}  // namespace tarn
