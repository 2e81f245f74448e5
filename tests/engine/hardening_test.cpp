// The engine opens no debugging port whatever the command line or environment asks.
#include <gmock/gmock.h>

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdlib>
#include <functional>
#include <vector>

#include "engine/connection_gate.h"
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
          "--enable-experimental-web-platform-features", "--proxy-server=direct://",
          "--proxy-pac-url=data:,x", "--proxy-bypass-list=*", "--no-proxy-server",
          "--proxy-auto-detect"}) {
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
    // Whatever proxy the machine running the tests names, the gate alone is asked here.
    for (const char* variable :
         {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(variable);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS",
           "--disable-gpu  --remote-debugging-port=9444 --remote-allow-origins=* --lang=de "
           "--disable-blink-features=Nothing --force-webrtc-ip-handling-policy=default "
           "--proxy-server=direct:// --no-proxy-server",
           1);

    hardenEngineStartup(argc, argv.data());

    EXPECT_THAT(std::vector<std::string>(argv.begin(), argv.begin() + argc),
                ElementsAre("tarnview", "Url=http://x", "User=ann"));
    EXPECT_EQ(argv[argc], nullptr);
    EXPECT_EQ(std::getenv("QTWEBENGINE_REMOTE_DEBUGGING"), nullptr);
    const std::string flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
    EXPECT_THAT(flags, ::testing::StartsWith("--disable-gpu --lang=de --disable-blink-features="));
    for (const char* gone :
         {"9444", "remote-allow-origins", "Nothing", "=default", "direct://", "no-proxy"})
        EXPECT_EQ(flags.find(gone), std::string::npos) << flags;
    // Every connection goes through the gate, loopback ones included.
    ASSERT_NE(engineConnectionGate(), nullptr);
    EXPECT_THAT(flags, ::testing::HasSubstr("--proxy-server=socks5://127.0.0.1:" +
                                            std::to_string(engineConnectionGate()->port()) +
                                            " --proxy-bypass-list=<-loopback>"));
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

// Runs the probe with `arguments` and `environment` added until `done` holds once its page has
// loaded (waiting up to `settleMs` for it), and returns whether it held.
bool probeUntil(const QStringList& arguments, const QStringList& environment,
                const std::function<bool()>& done, int settleMs, QString* errors = nullptr) {
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
    const bool held = ready && waitUntil(done, settleMs);
    probe.closeWriteChannel();
    if (!probe.waitForFinished(10000))
        probe.kill();
    probe.waitForFinished(5000);
    if (errors)
        *errors = QString::fromUtf8(probe.readAllStandardError());
    return held;
}

// True when `port` was open once the probe's page had loaded.
bool probeOpensPort(const QStringList& arguments, const QStringList& environment, quint16 port,
                    int settleMs) {
    return probeUntil(
        arguments, environment, [&] { return portOpen(port); }, settleMs);
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

// A proxy the machine names keeps carrying the engine's connections: plain-web requests, which
// the request check has judged, go to it directly; everything else goes through the gate, which
// asks it for a tunnel. A proxy the gate can not use lets nothing out.
TEST(HardeningTest, TheEnginesConnectionsGoThroughTheGateToTheMachinesProxy) {
    QTcpServer proxy;
    ASSERT_TRUE(proxy.listen(QHostAddress::LocalHost, 0));
    QStringList asked;
    QObject::connect(&proxy, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = proxy.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [&asked, socket] {
                if (socket->canReadLine()) {
                    asked.append(QString::fromLatin1(socket->readLine()).trimmed());
                    socket->disconnectFromHost();
                }
            });
        }
    });
    const QString machineProxy = QStringLiteral("http://127.0.0.1:%1").arg(proxy.serverPort());
    const QStringList environment{QStringLiteral("http_proxy=") + machineProxy,
                                  QStringLiteral("https_proxy=") + machineProxy};
    const quint16 site = 8443;
    const auto askedFor = [&](const QString& line) {
        return [&asked, line] { return asked.contains(line); };
    };

    EXPECT_TRUE(probeUntil(
        {QStringLiteral("--load=http://plain.example:%1/plain").arg(site)}, environment,
        askedFor(QStringLiteral("GET http://plain.example:%1/plain HTTP/1.1").arg(site)), 10000))
        << asked.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(
        probeUntil({QStringLiteral("--load=https://secure.example:%1/").arg(site)}, environment,
                   askedFor(QStringLiteral("CONNECT secure.example:%1 HTTP/1.1").arg(site)), 10000))
        << asked.join(QLatin1Char('\n')).toStdString();

    asked.clear();
    QString errors;
    EXPECT_FALSE(probeUntil(
        {QStringLiteral("--load=https://secure.example:%1/").arg(site)},
        {QStringLiteral("https_proxy=socks5://127.0.0.1:%1").arg(proxy.serverPort())},
        [&] { return !asked.isEmpty(); }, 3000, &errors));
    EXPECT_THAT(errors.toStdString(),
                ::testing::HasSubstr("the proxy in https_proxy (socks5://127.0.0.1:"));
    EXPECT_THAT(errors.toStdString(), ::testing::HasSubstr("Web connections are refused"));
}

}  // namespace
}  // namespace tarn::test
