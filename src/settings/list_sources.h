#pragma once

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_descriptor.h"
#include "settings/group_lists.h"
#include "settings/group_record.h"
#include "settings/list_entries.h"
#include "settings/site_lists.h"

namespace tarn {

// A list file opened when the group's lists were read: what is read later is that file, even
// when its name has come to mean another since.
class OpenListFile {
  public:
    OpenListFile(std::filesystem::path path, FileDescriptor fd, const struct stat& info);

    const std::filesystem::path& path() const { return path_; }
    const struct stat& info() const { return info_; }
    // The whole file; throws SettingsError when it can not be read.
    LargeVector<char> contents() const;

  private:
    std::filesystem::path path_;
    FileDescriptor fd_;
    struct stat info_;
};

// The lists of a ListSources: views into the text of its files, held here, and into its stored
// entries, so they must not outlive it.
struct LoadedLists {
    std::vector<LargeVector<char>> fileTexts;
    ListViews views;
};

// A group's lists as the store holds them, with the files of the exclusion list opened. The
// store is read on the window's thread; reading the files and building the filter from them can
// then go on elsewhere, without the store.
class ListSources {
  public:
    // Reads the parts `group` switches on and names, and opens the files of its exclusion list
    // that exist. Throws SettingsError for a file that exists but can not be opened as one.
    static ListSources read(const GroupRecord& group);

    // Which lists the group uses: two groups with the same choice share what is built from it.
    const std::string& choice() const { return choice_; }
    // What the lists are made of: the choice, every stored entry, and the identity, size and
    // times of each file. Equal fingerprints under one program version mean equal lists.
    std::array<std::uint64_t, 2> fingerprint(std::string_view programVersion) const;
    // The lines of the files, then the stored entries; throws SettingsError when a file can
    // not be read.
    LoadedLists lists() const;
    // The list files read, in order.
    std::vector<std::filesystem::path> filePaths() const;

  private:
    std::string choice_;
    std::vector<std::string> fileEntries_;  // as stored, missing files too
    std::vector<OpenListFile> files_;
    ListEntries excluded_, words_, included_;
};

// The lists that `group` switches on and names, read at once. A file of the exclusion list that
// does not exist is skipped; one that exists but can not be read throws SettingsError.
GroupLists assembleGroupLists(const GroupRecord& group);

}  // namespace tarn
