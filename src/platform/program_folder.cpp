#include "platform/program_folder.h"

#include <QCoreApplication>

namespace tarn {

std::filesystem::path programFolder() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

}  // namespace tarn
