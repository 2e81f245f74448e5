#include "app/install_report.h"

#include <unistd.h>

#include "connect/ras_library.h"
#include "platform/paths.h"

namespace tarn {
namespace {

std::string hiveLine(const char* label, const std::filesystem::path& file) {
    std::error_code ignored;
    std::string line = std::string(label) + file.string();
    if (!std::filesystem::exists(file, ignored))
        return line + " (not made yet)\n";
    // Accounts outside the machine hive's group read it but keep no usage records in it.
    return line + (::access(file.c_str(), W_OK) == 0 ? " (read and write)\n" : " (read only)\n");
}

}  // namespace

InstallReport installReport(const std::filesystem::path& programFiles,
                            const std::filesystem::path& dialUpLibrary) {
    InstallReport report{"Program files:   " + programFiles.string() + "\n", true};
    for (const char* name : {"blank.htm", "tarnview.hlp", "tarnadmn.hlp"}) {
        std::error_code ignored;
        const bool found = std::filesystem::is_regular_file(programFiles / name, ignored);
        report.text += std::string("  ") + name + (found ? ": found\n" : ": missing\n");
        report.complete = report.complete && found;
    }
    const bool loads = RasLibrary(dialUpLibrary).loaded();
    report.text += "Dial-up library: " + dialUpLibrary.string() +
                   (loads ? " (loads)\n" : " (does not load: dialling is not possible)\n");
    report.complete = report.complete && loads;
    report.text += hiveLine("User hive:       ", userHiveFile());
    report.text += hiveLine("Machine hive:    ", machineHiveFile());
    return report;
}

}  // namespace tarn
