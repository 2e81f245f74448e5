#pragma once

#include <filesystem>
#include <string>

namespace tarn {

// `tarnview --paths`: where this program finds its pages and help, its dial-up library and the
// two hives, and whether each is there, for an administrator checking an installation.
struct InstallReport {
    std::string text;
    bool complete = false;  // every program file found and the dial-up library loads
};

InstallReport installReport(const std::filesystem::path& programFiles,
                            const std::filesystem::path& dialUpLibrary);

}  // namespace tarn
