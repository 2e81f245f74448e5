#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/prefaulted.h"

namespace tarn {

// The three lists the URL filter checks for a signed-on group, assembled at each reload.
struct GroupLists {
    std::vector<std::string> ExclusionList;  // lines of the list's files, then its URL entries
    std::vector<std::string> InclusionList;
    std::vector<std::string> WordList;
};

// The same lists as views into text held elsewhere: a million-line file is one buffer rather
// than a million strings.
struct ListViews {
    LargeVector<std::string_view> ExclusionList;
    LargeVector<std::string_view> InclusionList;
    LargeVector<std::string_view> WordList;

    explicit ListViews(const GroupLists& lists);
    ListViews() = default;
};

// Appends the lines of `text`, split at CR LF, LF or CR; the empty text after a final line
// break is no line.
void appendLines(std::string_view text, std::vector<std::string>& lines);
void appendLines(std::string_view text, LargeVector<std::string_view>& lines);

}  // namespace tarn
