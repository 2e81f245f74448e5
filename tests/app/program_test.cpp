// The tarnview program itself, started as a user starts it.
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <filesystem>

#include "main_form_fixture.h"
#include "qt_wait.h"
#include "session/spawn_token.h"

namespace tarn::test {
namespace {

using ProgramTest = MainFormTest;

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

TEST_F(ProgramTest, StartsAtItsStartPageAndOpensNoDebuggingPortWhateverItIsAsked) {
    setValue(std::string(kDefaultConfigKey) + "\\Config", "sPane1Url",
             server.url(QStringLiteral("/one")).toString().toStdString());
    const QString port = QString::number(freePort());

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QTWEBENGINE_REMOTE_DEBUGGING"),
                       QStringLiteral("127.0.0.1:") + port);
    environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                       QStringLiteral("--remote-debugging-port=") + port);
    program.setProcessEnvironment(environment);
    program.start(
        QStringLiteral(TARN_TARNVIEW),
        {QStringLiteral("--remote-debugging-port=") + port, QStringLiteral("--webEngineArgs"),
         QStringLiteral("--remote-debugging-port=") + port});
    ASSERT_TRUE(program.waitForStarted());
    EXPECT_TRUE(waitUntil([&] { return server.hits(QStringLiteral("/one")) > 0; }, 30000));

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port.toUShort());
    EXPECT_FALSE(socket.waitForConnected(1000)) << "a debugging port is open";
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

TEST_F(ProgramTest, ASecondStartForTheSamePersonEndsAndACopyNeedsItsPermissionAndItsMain) {
    setValue(std::string(kDefaultConfigKey) + "\\Config", "sPane1Url",
             server.url(QStringLiteral("/one")).toString().toStdString());
    QProcess first;
    first.start(QStringLiteral(TARN_TARNVIEW), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return server.hits(QStringLiteral("/one")) > 0; }, 30000));

    QProcess second;
    second.start(QStringLiteral(TARN_TARNVIEW), {});
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(server.hits(QStringLiteral("/one")), 1) << "the second start opened a window";

    // A copy started by hand, without the main instance's permission, ends at once.
    const QStringList copyArguments{
        QStringLiteral("Url=") + server.url(QStringLiteral("/two")).toString(),
        QStringLiteral("Group=Default Group"), QStringLiteral("User=Default User")};
    QProcess intruder;
    intruder.start(QStringLiteral(TARN_TARNVIEW), copyArguments);
    ASSERT_TRUE(intruder.waitForFinished(15000));
    EXPECT_NE(intruder.exitCode(), 0);

    // So does one with a permission but no main instance to hold on to.
    QProcess orphan;
    orphan.start(QStringLiteral(TARN_TARNVIEW),
                 copyArguments + QStringList{QStringLiteral("Token=") +
                                             QString::fromStdString(issueSpawnToken(
                                                 "Default Group", "Default User", SystemClock()))});
    ASSERT_TRUE(orphan.waitForFinished(15000));
    EXPECT_NE(orphan.exitCode(), 0);
    EXPECT_EQ(server.hits(QStringLiteral("/two")), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

TEST_F(ProgramTest, HelpAndVersionPrintAndLeaveAndNoDisplayIsSaidInOneLine) {
    struct Case {
        const char* argument;
        const char* printed;
    };
    for (const Case c : {Case{"--help", "Usage: tarnview [--help | --version | --paths]"},
                         Case{"--version", "Tarnview 1.10"}}) {
        QProcess program;
        program.start(QStringLiteral(TARN_TARNVIEW), {QString::fromLatin1(c.argument)});
        ASSERT_TRUE(program.waitForFinished(15000)) << c.argument;
        EXPECT_EQ(program.exitCode(), 0) << c.argument;
        EXPECT_TRUE(program.readAllStandardOutput().startsWith(c.printed)) << c.argument;
    }

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(variable));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TARN_TARNVIEW), {});
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitCode(), 1);
    const QByteArray said = program.readAllStandardError();
    EXPECT_EQ(said,
              "tarnview needs an X11 or Wayland display, and none is set (DISPLAY and "
              "WAYLAND_DISPLAY are empty): start it from a desktop session.\n");
}

TEST_F(ProgramTest, ACopyEndsWhenItsMainInstanceIsKilled) {
    QProcess main;
    main.start(QStringLiteral(TARN_LEASH_PROBE), {});
    ASSERT_TRUE(main.waitForReadyRead(15000));
    QStringList permission;
    while (permission.size() < 2 && (main.canReadLine() || main.waitForReadyRead(5000)))
        permission.append(QString::fromUtf8(main.readLine()).trimmed());
    ASSERT_EQ(permission.size(), 2);

    QProcess copy;
    copy.start(
        QStringLiteral(TARN_TARNVIEW),
        QStringList{QStringLiteral("Url=") + server.url(QStringLiteral("/two")).toString(),
                    QStringLiteral("Group=Default Group"), QStringLiteral("User=Default User")} +
            permission);
    ASSERT_TRUE(copy.waitForStarted());
    EXPECT_TRUE(waitUntil([&] { return server.hits(QStringLiteral("/two")) > 0; }, 30000));
    EXPECT_EQ(copy.state(), QProcess::Running);

    main.kill();
    main.waitForFinished();
    EXPECT_TRUE(copy.waitForFinished(5000)) << "the copy outlived its killed main instance";
    if (copy.state() != QProcess::NotRunning) {
        copy.kill();
        copy.waitForFinished();
    }
}

// An installed tree keeps the program in bin, its pages in share/tarnview and the dial-up
// libraries in lib/tarnview; the program finds them from its own place, and says what is missing.
TEST_F(ProgramTest, AnInstalledTreeIsFoundFromTheProgramsOwnPlace) {
    namespace fs = std::filesystem;
    const fs::path usr = root / "usr";
    const fs::path built = fs::path(TARN_TARNVIEW).parent_path();
    fs::create_directories(usr / "bin");
    fs::create_directories(usr / "share/tarnview");
    fs::create_directories(usr / "lib/tarnview");
    fs::copy_file(TARN_TARNVIEW, usr / "bin/tarnview");
    for (const char* page : {"blank.htm", "tarnview.hlp", "tarnadmn.hlp"})
        fs::copy_file(built / page, usr / "share/tarnview" / page);
    fs::copy_file(TARN_RAS_SIMULATOR, usr / "lib/tarnview/libtarnras.so");

    const auto paths = [&](QString* output) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // It needs no display.
        for (const char* variable :
             {"TARNVIEW_RAS_LIBRARY", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(variable));
        program.setProcessEnvironment(environment);
        program.start(QString::fromStdString((usr / "bin/tarnview").string()),
                      {QStringLiteral("--paths")});
        EXPECT_TRUE(program.waitForFinished(15000));
        *output = QString::fromUtf8(program.readAllStandardOutput());
        return program.exitCode();
    };
    QString output;
    EXPECT_EQ(paths(&output), 0) << output.toStdString();
    const QString share = QString::fromStdString((usr / "share/tarnview").string());
    EXPECT_TRUE(output.contains(QStringLiteral("Program files:   ") + share + QLatin1Char('\n')))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("tarnadmn.hlp: found"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QString::fromStdString(
        "Dial-up library: " + (usr / "lib/tarnview/libtarnras.so").string() + " (loads)")))
        << output.toStdString();

    fs::remove(usr / "share/tarnview/tarnview.hlp");
    fs::remove(usr / "lib/tarnview/libtarnras.so");
    EXPECT_EQ(paths(&output), 1) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("tarnview.hlp: missing"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("(does not load: dialling is not possible)")))
        << output.toStdString();
}

}  // namespace
}  // namespace tarn::test
