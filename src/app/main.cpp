// Program entry: the main window and its message loop.
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/copy_leash.h"
#include "app/install_report.h"
#include "app/main_form.h"
#include "app/single_instance.h"
#include "app/startup_check.h"
#include "app/tarn_application.h"
#include "app/usage.h"
#include "connect/ras_library.h"
#include "engine/engine_hardening.h"
#include "platform/clock.h"
#include "platform/desktop_launcher.h"
#include "platform/message_box_prompter.h"
#include "platform/program_folder.h"
#include "session/command_line.h"
#include "session/spawn_token.h"

int main(int argc, char** argv) {
    if (const auto text = tarn::informationRequested(argc, argv)) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    if (tarn::pathsRequested(argc, argv)) {
        const QCoreApplication core(argc, argv);
        const auto report = tarn::installReport(tarn::programFolder(),
                                                tarn::rasLibraryFile(tarn::programLibraryFolder()));
        std::fputs(report.text.c_str(), stdout);
        return report.complete ? 0 : 1;
    }
    if (const auto missing = tarn::missingDisplay()) {
        std::fprintf(stderr, "%s\n", missing->c_str());
        return 1;
    }
    tarn::hardenEngineStartup(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    tarn::MessageBoxPrompter prompter;
    tarn::TarnApplication app(argc, argv, prompter);
    QApplication::setApplicationName(QStringLiteral("Tarnview"));
    QApplication::setApplicationVersion(QString::fromLatin1(tarn::programVersion()));
    // Lets a Wayland desktop match the window to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kestrow.Tarnview"));

    std::vector<std::string> parameters;
    for (int i = 1; i < argc; ++i)
        parameters.emplace_back(argv[i]);
    // A spawned copy runs beside its main instance; a second main instance brings the first to
    // the front instead.
    tarn::TMainForm* window = nullptr;
    tarn::SingleInstance instance([&window] {
        if (!window)
            return;
        window->showNormal();
        window->raise();
        window->activateWindow();
    });
    const tarn::StartArguments arguments = tarn::parseCommandLine(parameters);
    if (arguments.SpawnedCopy == 0) {
        switch (instance.claim()) {
            case tarn::SingleInstance::Claim::First:
                break;
            case tarn::SingleInstance::Claim::Running:
                return 0;
            case tarn::SingleInstance::Claim::Failed:
                std::fprintf(stderr, "tarnview: %s\n", instance.failure().c_str());
                prompter.error(instance.failure());
                return 1;
        }
    }
    tarn::SystemClock clock;
    if (arguments.SpawnedCopy != 0 &&
        !tarn::claimSpawnToken(arguments.Token, arguments.GroupName.value_or(""),
                               arguments.UserName.value_or(""), clock)) {
        std::fprintf(stderr, "tarnview: a copy runs only when Tarnview itself starts it\n");
        return 1;
    }
    // A copy ends with its main instance's hold on the user, whatever windows it has open.
    tarn::CopyLeash leash;
    if (arguments.SpawnedCopy != 0 &&
        !leash.holdOn(QString::fromStdString(arguments.MainInstance), [] {
            QApplication::closeAllWindows();
            QCoreApplication::quit();
            QTimer::singleShot(5000, [] { std::_Exit(0); });
        })) {
        std::fprintf(stderr, "tarnview: a copy runs only beside the Tarnview that started it\n");
        return 1;
    }

    if (const auto failure = tarn::checkHives()) {
        std::fprintf(stderr, "tarnview: %s\n", failure->c_str());
        prompter.error(*failure);
        return 1;
    }

    tarn::DesktopLauncher launcher;
    tarn::TMainForm form(parameters, clock, prompter, launcher);
    window = &form;
    form.show();
    return QApplication::exec();
}
