#include "admin/disk_search.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace tarn {
namespace {

// One folder being walked: where it is, how it is written, and its subfolders still to enter.
struct Folder {
    fs::path real;
    std::string written;
    std::vector<std::string> subfolders;
    size_t next = 0;
};

// A POSIX start is written with '/', every other start Windows-style.
char separatorFor(const std::string& start) {
    return !start.empty() && start.front() == '/' ? '/' : '\\';
}

std::string join(std::string folder, char separator, const std::string& name) {
    if (folder.empty() || folder.back() != separator)
        folder += separator;
    return folder + name;
}

}  // namespace

DiskSearch::DiskSearch(std::string startFolder, std::string fileName, Progress progress)
    : startFolder_(std::move(startFolder)),
      fileName_(std::move(fileName)),
      progress_(std::move(progress)) {}

std::string DiskSearch::run() {
    const char separator = separatorFor(startFolder_);

    // Reads `folder` once: its subfolders, and the name of the wanted file when it holds one.
    // A folder that can not be read gives nothing.
    const auto scan = [&](Folder& folder) -> std::string {
        std::error_code error;
        fs::directory_iterator entry(folder.real, fs::directory_options::skip_permission_denied,
                                     error);
        std::string found;
        for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
            if (cancelled_)
                return {};
            const std::string name = entry->path().filename().string();
            std::error_code statusError;
            if (entry->symlink_status(statusError).type() == fs::file_type::directory) {
                // A name holding '\' could not be written Windows-style and mapped back.
                if (separator == '/' || name.find('\\') == std::string::npos)
                    folder.subfolders.push_back(name);
            } else if (found.empty() && equalsIgnoringCase(name, fileName_) &&
                       entry->status(statusError).type() == fs::file_type::regular) {
                found = name;
            }
        }
        return found;
    };

    std::vector<Folder> path;
    path.push_back({mapPathOnDrive(startFolder_), startFolder_, {}, 0});
    scan(path.back());
    while (!path.empty() && !cancelled_) {
        Folder& parent = path.back();
        if (parent.next == parent.subfolders.size()) {
            path.pop_back();
            continue;
        }
        const std::string& name = parent.subfolders[parent.next++];
        Folder child{parent.real / name, join(parent.written, separator, name), {}, 0};
        if (progress_)
            progress_(child.written);
        const std::string found = scan(child);
        if (!found.empty() && !cancelled_)
            return join(child.written, separator, found);
        path.push_back(std::move(child));
    }
    return {};
}

}  // namespace tarn
