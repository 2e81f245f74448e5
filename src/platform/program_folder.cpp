#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QUrl>

namespace tarn {
namespace {

std::filesystem::path binFolder() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

}  // namespace

std::filesystem::path folderBeside(const std::filesystem::path& binFolder,
                                   const std::filesystem::path& installed, const char* marker) {
    std::error_code ignored;
    if (std::filesystem::exists(binFolder / marker, ignored))
        return binFolder;
    const std::filesystem::path beside = binFolder.parent_path() / installed;
    return std::filesystem::exists(beside / marker, ignored) ? beside : binFolder;
}

// The program does not move while it runs: each folder is looked for once.
std::filesystem::path programFolder() {
    static const std::filesystem::path folder =
        folderBeside(binFolder(), "share/tarnview", "blank.htm");
    return folder;
}

std::filesystem::path programLibraryFolder() {
    static const std::filesystem::path folder =
        folderBeside(binFolder(), "lib/tarnview", "libtarnras.so");
    return folder;
}

QString programFolderUrl() {
    return QUrl::fromLocalFile(QString::fromStdString((programFolder() / "").string())).toString();
}

QString blankPageUrl() {
    return programFolderUrl() + QStringLiteral("blank.htm");
}

}  // namespace tarn
