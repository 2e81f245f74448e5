#include "settings/group_lists.h"

#include <filesystem>
#include <fstream>

#include "platform/paths.h"
#include "settings/settings_error.h"
#include "settings/site_lists.h"

namespace tarn {
namespace {

void appendFileLines(const std::string& entry, std::vector<std::string>& lines) {
    const std::filesystem::path file = mapPath(entry);
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return;
    }
    const auto size = std::filesystem::file_size(file, error);
    std::ifstream in(file, std::ios::binary);
    std::string text;
    if (!error && in) {
        text.resize(size);
        in.read(text.data(), static_cast<std::streamsize>(size));
    }
    if (error || !in) {
        throw SettingsError("Cannot open file \"" + file.string() + "\"");
    }
    appendLines(text, lines);
}

}  // namespace

void appendLines(std::string_view text, std::vector<std::string>& lines) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            return;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
}

GroupLists assembleGroupLists(const GroupRecord& group) {
    GroupLists lists;
    if (group.bGroupUseExcl && !group.sGroupExclList.empty()) {
        for (const std::string& file : loadListPart(ListFamily::URLExclIni, group.sGroupExclList)) {
            appendFileLines(file, lists.ExclusionList);
        }
        appendListPart(ListFamily::URLExclusion, group.sGroupExclList, lists.ExclusionList);
        lists.WordList = loadListPart(ListFamily::WordExclusion, group.sGroupExclList);
    }
    if (group.bGroupUseIncl && !group.sGroupInclList.empty()) {
        lists.InclusionList = loadListPart(ListFamily::URLInclusion, group.sGroupInclList);
    }
    return lists;
}

}  // namespace tarn
