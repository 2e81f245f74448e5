// The engine opens no debugging port whatever the command line or environment asks.
#include <gmock/gmock.h>

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdlib>
#include <vector>

#include "engine/engine_hardening.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

using ::testing::ElementsAre;

TEST(HardeningTest, RefusedSwitchesAreRecognisedInEveryForm) {
    for (const char* argument :
         {"--remote-debugging-port=9222", "-remote-debugging-port=1", "--remote-debugging-pipe",
          "--auto-open-devtools-for-tabs", "--remote-allow-origins=*",
          "--disable-blink-features=Nothing", "--force-webrtc-ip-handling-policy=default",
          "-webrtc-ip-handling-policy=default", "--enable-quic", "--origin-to-force-quic-on=x:443",
          "--enable-experimental-web-platform-features"}) {
        EXPECT_TRUE(isRefusedSwitch(argument)) << argument;
    }
    for (const char* argument :
         {"--remote-debugging", "remote-debugging-port=1", "Url=x", "--remote-debugging-portx=1",
          "--no-sandbox", "", "-", "--enable-blink-features=X", "--disable-quic"}) {
        EXPECT_FALSE(isRefusedSwitch(argument)) << argument;
    }
}

TEST(HardeningTest, StartupDropsTheSwitchesFromArgvAndTheEnvironment) {
    std::vector<std::string> words{"tarnview",
                                   "--remote-debugging-port=9222",
                                   "Url=http://x",
                                   "-remote-debugging-pipe",
                                   "--auto-open-devtools-for-tabs",
                                   "User=ann"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(words.size());
    setenv("QTWEBENGINE_REMOTE_DEBUGGING", "9333", 1);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS",
           "--disable-gpu  --remote-debugging-port=9444 --remote-allow-origins=* --lang=de "
           "--disable-blink-features=Nothing --force-webrtc-ip-handling-policy=default",
           1);

    hardenEngineStartup(argc, argv.data());

    EXPECT_THAT(std::vector<std::string>(argv.begin(), argv.begin() + argc),
                ElementsAre("tarnview", "Url=http://x", "User=ann"));
    EXPECT_EQ(argv[argc], nullptr);
    EXPECT_EQ(std::getenv("QTWEBENGINE_REMOTE_DEBUGGING"), nullptr);
    const std::string flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
    EXPECT_THAT(flags, ::testing::StartsWith("--disable-gpu --lang=de --disable-blink-features="));
    for (const char* gone : {"9444", "remote-allow-origins", "Nothing", "=default"})
        EXPECT_EQ(flags.find(gone), std::string::npos) << flags;
    unsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool portOpen(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(1000);
}

// Runs the probe with `arguments` and `environment` added; true when `port` was open once its
// page had loaded (waiting up to `settleMs` for it to open).
bool probeOpensPort(const QStringList& arguments, const QStringList& environment, quint16 port,
                    int settleMs) {
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // This test program's own engine switches stay with it: the probe starts from its own.
    env.remove(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
    for (const QString& entry : environment) {
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    }
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(TARN_HARDENING_PROBE), arguments);
    const bool ready = probe.waitForStarted(10000) &&
                       waitUntil(
                           [&] {
                               return probe.readAllStandardOutput().contains("ready") ||
                                      probe.state() == QProcess::NotRunning;
                           },
                           30000);
    const bool open = ready && waitUntil([&] { return portOpen(port); }, settleMs);
    probe.closeWriteChannel();
    if (!probe.waitForFinished(10000))
        probe.kill();
    probe.waitForFinished(5000);
    return open;
}

TEST(HardeningTest, NoDebuggingPortOpensWhateverTheEnvironmentAsks) {
    struct Case {
        const char* name;
        QStringList arguments;
        QStringList environment;
    };
    const auto portSwitch = [](quint16 port) {
        return QStringLiteral("--remote-debugging-port=%1").arg(port);
    };
    for (int i = 0; i < 3; ++i) {
        const quint16 port = freePort();
        const Case cases[] = {
            {"command line", {QStringLiteral("--webEngineArgs"), portSwitch(port)}, {}},
            {"debugging variable",
             {},
             {QStringLiteral("QTWEBENGINE_REMOTE_DEBUGGING=127.0.0.1:%1").arg(port)}},
            {"engine flags",
             {},
             {QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS=") + portSwitch(port)}},
        };
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        // Unhardened, the request opens the port: the check below can see one.
        EXPECT_TRUE(probeOpensPort(c.arguments + QStringList{QStringLiteral("--unhardened")},
                                   c.environment, port, 10000));
        EXPECT_FALSE(probeOpensPort(c.arguments, c.environment, port, 2000));
    }
}

}  // namespace
}  // namespace tarn::test
