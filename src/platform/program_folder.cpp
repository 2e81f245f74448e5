#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QUrl>

namespace tarn {

std::filesystem::path programFolder() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

QString blankPageUrl() {
    return QUrl::fromLocalFile(QString::fromStdString((programFolder() / "blank.htm").string()))
        .toString();
}

}  // namespace tarn
