// Starts the engine the way the program does and reports when a page has loaded, so a test can
// look for a debugging port. "--unhardened" skips the hardening, to show what it prevents.
// "--load=<address>" loads that address under an open policy, for the proxy checks.
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstdio>
#include <cstring>

#include "engine/engine_hardening.h"
#include "engine/profile_guard.h"
#include "settings/group_lists.h"

int main(int argc, char** argv) {
    bool harden = true;
    QString load;
    for (int i = 1; i < argc; ++i) {
        harden = harden && std::strcmp(argv[i], "--unhardened") != 0;
        if (std::strncmp(argv[i], "--load=", 7) == 0)
            load = QString::fromUtf8(argv[i] + 7);
    }
    if (harden)
        tarn::hardenEngineStartup(argc, argv);
    QApplication app(argc, argv);
    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::loadFinished, &view, [](bool) {
        std::puts("ready");
        std::fflush(stdout);
    });
    if (load.isEmpty()) {
        view.setHtml(QStringLiteral("<p>probe</p>"));
    } else {
        const auto open =
            std::make_shared<const tarn::PolicySlot>(std::make_shared<const tarn::NavigationPolicy>(
                std::make_shared<const tarn::UrlFilter>(tarn::GroupLists{}), true,
                "file:///nowhere/"));
        tarn::guardProfile(view.page()->profile(), open);
        view.load(QUrl(load));
    }
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
