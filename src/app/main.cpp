// Program entry: the main window and its message loop.
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/engine/engine_hardening.h"
#include "app/main_form.h"
#include "app/startup_check.h"
#include "app/tarn_application.h"
#include "platform/clock.h"
#include "platform/desktop_launcher.h"
#include "platform/message_box_prompter.h"

int main(int argc, char** argv) {
    tarn::hardenEngineStartup(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    tarn::MessageBoxPrompter prompter;
    tarn::TarnApplication app(argc, argv, prompter);
    QApplication::setApplicationName(QStringLiteral("Tarnview"));
    QApplication::setApplicationVersion(QStringLiteral("1.10"));

    if (const auto failure = tarn::checkHives()) {
        std::fprintf(stderr, "tarnview: %s\n", failure->c_str());
        prompter.error(*failure);
        return 1;
    }

    std::vector<std::string> parameters;
    for (int i = 1; i < argc; ++i)
        parameters.emplace_back(argv[i]);
    tarn::SystemClock clock;
    tarn::DesktopLauncher launcher;
    tarn::TMainForm form(parameters, clock, prompter, launcher);
    form.show();
    return QApplication::exec();
}
