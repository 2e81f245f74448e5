// Starts the engine the way the program does and reports when a page has loaded, so a test can
// look for a debugging port. "--unhardened" skips the hardening, to show what it prevents.
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <cstring>

#include "engine/engine_hardening.h"

int main(int argc, char** argv) {
    bool harden = true;
    for (int i = 1; i < argc; ++i)
        harden = harden && std::strcmp(argv[i], "--unhardened") != 0;
    if (harden)
        tarn::hardenEngineStartup(argc, argv);
    QApplication app(argc, argv);
    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::loadFinished, &view, [](bool) {
        std::puts("ready");
        std::fflush(stdout);
    });
    view.setHtml(QStringLiteral("<p>probe</p>"));
    view.show();
    // Runs until the test closes its end of stdin, or a minute at most.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QApplication::quit();
    });
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return QApplication::exec();
}
