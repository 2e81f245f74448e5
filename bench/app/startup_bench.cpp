// Start-up: from process start until every pane has loaded a local page, for tarnview and for a
// bare window with as many engine views loading the same pages, alternating in the same run; then
// the processor time each spends idle with the pages shown. Cases: one pane; one pane under a
// group whose exclusion list has a million lines, kept in the cache by an earlier start; four
// panes.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "local_server.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"

namespace {

// The page reports its own load event back to the server, which is the moment measured.
constexpr char kPage[] =
    "<html><head><title>Bench</title></head><body><h1>Bench page</h1>"
    "<script>addEventListener('load', () => { new Image().src = '/done?' + Date.now(); });"
    "</script></body></html>";
constexpr int kIdleMs = 5000;

struct Start {
    double ms = -1;       // until every page reported its load; -1 on timeout
    double idleCpu = -1;  // share of one processor used by the process and its helpers, idle
};

// The processor time of `pid` and every process below it, in nanoseconds: each thread's own
// count, fine enough for the few milliseconds an idle window spends in a second (clock ticks of
// 10 ms are not).
long long treeNanoseconds(qint64 pid) {
    std::vector<std::pair<qint64, qint64>> parents;  // pid, parent
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 id = entry.toLongLong(&number);
        if (!number)
            continue;
        std::ifstream stat("/proc/" + entry.toStdString() + "/stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        // After the name: the state, then the parent.
        std::istringstream fields(line.substr(close + 2));
        std::string state;
        qint64 parent = 0;
        if (fields >> state >> parent)
            parents.emplace_back(id, parent);
    }
    std::vector<qint64> tree{pid};
    for (size_t done = 0; done < tree.size(); ++done) {
        for (const auto& [id, parent] : parents) {
            if (parent == tree[done])
                tree.push_back(id);
        }
    }
    long long total = 0;
    for (const qint64 id : tree) {
        const QString tasks = QStringLiteral("/proc/%1/task").arg(id);
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            std::ifstream schedstat(
                (tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat")).toStdString());
            long long onCpu = 0;
            if (schedstat >> onCpu)
                total += onCpu;
        }
    }
    return total;
}

// Starts `program` and times it; with `idle`, measures its idle processor use once loaded. It is
// ended once `doneWith` holds (at once without one).
Start timeStart(tarn::test::LocalServer& server, const QString& program,
                const QStringList& arguments, const QProcessEnvironment& environment, int pages,
                bool idle, const std::function<bool()>& doneWith = {}) {
    const int before = server.hits(QStringLiteral("/done"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    Start start;
    while (timer.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (server.hits(QStringLiteral("/done")) >= before + pages) {
            start.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            break;
        }
    }
    if (idle && start.ms >= 0) {
        // Settle, then count what the window spends doing nothing.
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const long long first = treeNanoseconds(process.processId());
        wait.restart();
        while (wait.elapsed() < kIdleMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const long long spent = treeNanoseconds(process.processId()) - first;
        start.idleCpu = static_cast<double>(spent) / 1e6 / static_cast<double>(wait.elapsed());
    }
    QElapsedTimer wait;
    wait.start();
    while (doneWith && !doneWith() && wait.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    process.kill();
    process.waitForFinished();
    return start;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Case {
    const char* name;
    int panes;
    bool millionLines;
    double target;      // start-up ratio
    double idleTarget;  // idle processor ratio; 0 for none
};

// Fresh hives in `home`, marked as set up, with the page as each pane's start address.
void prepare(const QString& home, const Case& c, const QString& page) {
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toLocal8Bit());
    qputenv("TARNVIEW_MACHINE_HIVE", (home + QStringLiteral("/machine.hive")).toLocal8Bit());
    tarn::SettingsStore(tarn::kConfigKey).write_string("", "sInstalledVersion", "1.10");
    tarn::SettingsStore config(std::string(tarn::kTarnviewRoot) +
                               "\\Default Group\\Default User\\Config");
    config.write_int("", "iNumberOfPanes", c.panes);
    for (int pane = 1; pane <= c.panes; ++pane)
        config.write_string("", "sPane" + std::to_string(pane) + "Url", page.toStdString());
    if (!c.millionLines)
        return;
    const std::string file = (home + QStringLiteral("/blocklist.txt")).toStdString();
    std::ofstream out(file, std::ios::binary);
    std::mt19937 random(11);
    for (int line = 0; line < 1'000'000; ++line) {
        std::string host(8 + random() % 11, ' ');
        for (char& ch : host)
            ch = static_cast<char>('a' + random() % 26);
        out << "ads." << host << ".com\n";
    }
    out.close();
    tarn::saveListPart(tarn::ListFamily::URLExclIni, "Blocklist", {file});
    tarn::SettingsStore group(std::string(tarn::kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupUseExcl", true);
    group.write_string("", "sGroupExclList", "Blocklist");
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
    const QString folder = QCoreApplication::applicationDirPath();
    const QString tarnview = folder + QStringLiteral("/tarnview");
    const QString bare = folder + QStringLiteral("/bare_view");

    const Case cases[] = {
        {"one pane", 1, false, 1.5, 0},
        {"one pane, a million-line list from the cache", 1, true, 1.2, 0},
        {"four panes", 4, false, 1.3, 2.0},
    };
    bool pass = true;
    for (const Case& c : cases) {
        QTemporaryDir home;
        prepare(home.path(), c, page);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        const QStringList bareArguments(c.panes, page);

        // One start of each first: both find the engine's files in the page cache, and
        // tarnview keeps the built lists, which it writes once their filter is in force.
        const QDir config(home.path() + QStringLiteral("/config/tarnview"));
        timeStart(server, tarnview, {}, environment, c.panes, false, [&] {
            return !c.millionLines ||
                   !config.entryList({QStringLiteral("lists-*.cache")}, QDir::Files).isEmpty();
        });
        timeStart(server, bare, bareArguments, environment, c.panes, false);
        std::vector<double> tarnTimes, bareTimes, tarnIdle, bareIdle;
        for (int i = 0; i < runs; ++i) {
            const bool idle = c.idleTarget > 0;
            const Start t = timeStart(server, tarnview, {}, environment, c.panes, idle);
            const Start b = timeStart(server, bare, bareArguments, environment, c.panes, idle);
            if (t.ms < 0 || b.ms < 0) {
                std::fprintf(stderr, "startup_bench: a start did not load its pages in 60 s\n");
                return 1;
            }
            tarnTimes.push_back(t.ms);
            bareTimes.push_back(b.ms);
            tarnIdle.push_back(t.idleCpu);
            bareIdle.push_back(b.idleCpu);
        }
        const double t = median(tarnTimes);
        const double b = median(bareTimes);
        std::printf("%s: start to every pane loaded, median of %d runs\n", c.name, runs);
        std::printf("  tarnview         %8.1f ms\n", t);
        std::printf("  bare engine view %8.1f ms  (baseline, %d view%s)\n", b, c.panes,
                    c.panes == 1 ? "" : "s");
        std::printf("  ratio            %8.2f     target <= %.2f: %s\n", t / b, c.target,
                    t / b <= c.target ? "PASS" : "FAIL");
        pass = pass && t / b <= c.target;
        if (c.idleTarget > 0) {
            const double ti = median(tarnIdle);
            const double bi = median(bareIdle);
            std::printf(
                "  idle processor   %7.2f %%   bare %7.2f %%   ratio %5.2f   target <= %.1f: "
                "%s\n",
                ti * 100, bi * 100, bi > 0 ? ti / bi : 0.0, c.idleTarget,
                ti <= bi * c.idleTarget ? "PASS" : "FAIL");
            pass = pass && ti <= bi * c.idleTarget;
        }
    }
    return pass ? 0 : 1;
}
