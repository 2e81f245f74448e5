// Start-up time: from process start until pane 1 has loaded a local page, for tarnview and for a
// bare window with one engine view loading the same page, alternating in the same run.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "local_server.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"

namespace {

// The page reports its own load event back to the server, which is the moment measured.
constexpr char kPage[] =
    "<html><head><title>Bench</title></head><body><h1>Bench page</h1>"
    "<script>addEventListener('load', () => { new Image().src = '/done?' + Date.now(); });"
    "</script></body></html>";

// Milliseconds from starting `program` until the page reports its load; -1 on timeout.
double timeStart(tarn::test::LocalServer& server, const QString& program,
                 const QStringList& arguments, const QProcessEnvironment& environment) {
    const int before = server.hits(QStringLiteral("/done"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    double elapsed = -1;
    while (timer.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (server.hits(QStringLiteral("/done")) > before) {
            elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            break;
        }
    }
    process.kill();
    process.waitForFinished();
    return elapsed;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    tarn::test::LocalServer server;
    if (!server.start()) {
        std::fprintf(stderr, "startup_bench: no local port for the page server\n");
        return 1;
    }
    server.addPage(QStringLiteral("/page"), kPage);
    server.addPage(QStringLiteral("/done"), "");
    const QString page = server.url(QStringLiteral("/page")).toString();

    // Fresh hives for tarnview, marked as set up and with the page as pane 1's start address.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("TARNVIEW_MACHINE_HIVE", (home.path() + QStringLiteral("/machine.hive")).toLocal8Bit());
    {
        tarn::SettingsStore store(tarn::kConfigKey);
        store.write_string("", "sInstalledVersion", "1.10");
    }
    {
        tarn::SettingsStore store(std::string(tarn::kTarnviewRoot) +
                                  "\\Default Group\\Default User\\Config");
        store.write_string("", "sPane1Url", page.toStdString());
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));

    const QString folder = QCoreApplication::applicationDirPath();
    const QString tarnview = folder + QStringLiteral("/tarnview");
    const QString bare = folder + QStringLiteral("/bare_view");

    // One start of each first, so both find the engine's files in the page cache.
    timeStart(server, tarnview, {}, environment);
    timeStart(server, bare, {page}, environment);
    std::vector<double> tarnTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        const double t = timeStart(server, tarnview, {}, environment);
        const double b = timeStart(server, bare, {page}, environment);
        if (t < 0 || b < 0) {
            std::fprintf(stderr, "startup_bench: a start did not load the page within 60 s\n");
            return 1;
        }
        tarnTimes.push_back(t);
        bareTimes.push_back(b);
    }
    const double t = median(tarnTimes);
    const double b = median(bareTimes);
    std::printf("start to pane 1 loaded, median of %d runs\n", runs);
    std::printf("  tarnview         %8.1f ms\n", t);
    std::printf("  bare engine view %8.1f ms  (baseline)\n", b);
    std::printf("  ratio            %8.2f     (target <= 1.50)\n", t / b);
    return 0;
}
