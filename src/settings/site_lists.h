#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/list_entries.h"

namespace tarn {

// The four key families below Admin that hold named lists. An inclusion list is one
// URLInclusion key; an exclusion list is the URLExclusion, WordExclusion and URLExclIni keys of
// one name. Each entry is a value name whose data is "1".
enum class ListFamily {
    URLInclusion,   // sites the user may visit
    URLExclusion,   // sites the user may not visit
    WordExclusion,  // words that refuse any URL containing them
    URLExclIni,     // text files whose lines are further excluded sites
};

inline constexpr char kDefaultInclusionList[] = "Default Inclusion List";
inline constexpr char kDefaultExclusionList[] = "Default Exclusion List";

// Names for the administration window, with the default list first whether or not its key
// exists.
std::vector<std::string> listInclusionListNames();
std::vector<std::string> listExclusionListNames();

// Names for the group editor: only lists that have a key. Exclusion lists are named by their
// URL parts, or when there are none by their file parts, or else by their word parts.
std::vector<std::string> offeredInclusionListNames();
std::vector<std::string> offeredExclusionListNames();

// The entries of one part of a list in stored order; none when its key does not exist.
std::vector<std::string> loadListPart(ListFamily family, std::string_view list);
void appendListPart(ListFamily family, std::string_view list, std::vector<std::string>& entries);
ListEntries loadListEntries(ListFamily family, std::string_view list);
// The entries one by one, each valid only during its call.
void eachListEntry(ListFamily family, std::string_view list,
                   const std::function<void(std::string_view)>& take);

// Replaces the part with `entries` in one transaction, so a failure never leaves half a list.
// Entries differing only in letter case become one; an empty part leaves no key.
void saveListPart(ListFamily family, std::string_view list,
                  const std::vector<std::string>& entries);

// One entry changed in the administration window's box of a part, which shows the entries as
// they were typed: spellings that differ only in letter case stay apart there, while the store
// holds the first of them. Each updates `box` and gives the store what saving the whole box
// would, writing only the values that change; a store error leaves both as they were. Taking
// away the stored spelling while a later one is shown moves the entries between up one place.
// Add appends; Edit removes the entry at `index` and appends the new text; Delete removes it.
void addListEntry(ListFamily family, std::string_view list, ListEntries& box,
                  std::string_view entry);
void editListEntry(ListFamily family, std::string_view list, ListEntries& box, size_t index,
                   std::string_view entry);
void deleteListEntry(ListFamily family, std::string_view list, ListEntries& box, size_t index);

void createInclusionList(std::string_view list);
void createExclusionList(std::string_view list);
void deleteInclusionList(std::string_view list);
void deleteExclusionList(std::string_view list);

}  // namespace tarn
