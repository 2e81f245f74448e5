#include "platform/desktop_launcher.h"

#include <QProcess>
#include <QStringList>

namespace tarn {

bool DesktopLauncher::openUrl(const std::string& address) {
    // xdg-open directly: the window routes the engine's mail links through QDesktopServices to
    // itself, so going back through it would come round again.
    return QProcess::startDetached(QStringLiteral("xdg-open"),
                                   QStringList{QString::fromStdString(address)});
}

}  // namespace tarn
