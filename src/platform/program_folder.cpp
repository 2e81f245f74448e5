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

std::filesystem::path programFolder() {
    return folderBeside(binFolder(), "share/tarnview", "blank.htm");
}

std::filesystem::path programLibraryFolder() {
    return folderBeside(binFolder(), "lib/tarnview", "libtarnras.so");
}

QString programFolderUrl() {
    return QUrl::fromLocalFile(QString::fromStdString((programFolder() / "").string())).toString();
}

QString blankPageUrl() {
    return programFolderUrl() + QStringLiteral("blank.htm");
}

}  // namespace tarn
