#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/group_record.h"

namespace tarn {

// The three lists the URL filter checks for a signed-on group, assembled at each reload.
struct GroupLists {
    std::vector<std::string> ExclusionList;  // lines of the list's files, then its URL entries
    std::vector<std::string> InclusionList;
    std::vector<std::string> WordList;
};

// Assembles the lists that `group` switches on and names. Files of the exclusion list are
// read through mapPath; a file that does not exist is skipped, one that exists but can not be
// read throws SettingsError.
GroupLists assembleGroupLists(const GroupRecord& group);

// Appends the lines of `text`, split at CR LF, LF or CR; the empty text after a final line
// break is no line.
void appendLines(std::string_view text, std::vector<std::string>& lines);

}  // namespace tarn
