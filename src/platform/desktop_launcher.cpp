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

bool DesktopLauncher::startProgram(const std::string& program,
                                   const std::vector<std::string>& arguments,
                                   const std::string& folder) {
    QStringList list;
    for (const std::string& argument : arguments)
        list.append(QString::fromStdString(argument));
    return QProcess::startDetached(QString::fromStdString(program), list,
                                   QString::fromStdString(folder));
}

bool DesktopLauncher::runCommandLine(const std::string& commandLine) {
    QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

}  // namespace tarn
