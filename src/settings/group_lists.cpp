#include "settings/group_lists.h"

#include <algorithm>
#include <cstring>

namespace tarn {

ListViews::ListViews(const GroupLists& lists)
    : ExclusionList(lists.ExclusionList.begin(), lists.ExclusionList.end()),
      InclusionList(lists.InclusionList.begin(), lists.InclusionList.end()),
      WordList(lists.WordList.begin(), lists.WordList.end()) {}

void appendLines(std::string_view text, std::vector<std::string>& lines) {
    LargeVector<std::string_view> views;
    appendLines(text, views);
    lines.insert(lines.end(), views.begin(), views.end());
}

void appendLines(std::string_view text, LargeVector<std::string_view>& lines) {
    // Room for every line at once: growing a view of each of millions of lines step by step
    // copies them over and over into memory the system must first hand out.
    lines.reserve(lines.size() + static_cast<size_t>(std::ranges::count(text, '\n')) + 1);
    // Most files break lines with LF alone: find those fast, then look for a CR in each line.
    while (!text.empty()) {
        const void* lf = std::memchr(text.data(), '\n', text.size());
        size_t end =
            lf ? static_cast<size_t>(static_cast<const char*>(lf) - text.data()) : text.size();
        if (const void* cr = std::memchr(text.data(), '\r', end)) {
            end = static_cast<size_t>(static_cast<const char*>(cr) - text.data());
        }
        lines.push_back(text.substr(0, end));
        if (end == text.size()) {
            return;
        }
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
}

}  // namespace tarn
