#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QUrl>

namespace tarn {

std::filesystem::path programFolder() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

QString programFolderUrl() {
    return QUrl::fromLocalFile(QString::fromStdString((programFolder() / "").string())).toString();
}

QString blankPageUrl() {
    return programFolderUrl() + QStringLiteral("blank.htm");
}

}  // namespace tarn
