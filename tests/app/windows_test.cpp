// New windows that pages ask for, the New window button and the Mail menu.
#include <gmock/gmock.h>

#include <QCoreApplication>
#include <QLabel>
#include <QNetworkCookie>
#include <QProcess>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineProfile>

#include "engine/cookie_handover.h"
#include "engine/web_browser.h"
#include "logon_typer.h"
#include "main_form_fixture.h"
#include "platform/program_folder.h"
#include "qt_wait.h"
#include "session/spawn_token.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"

namespace tarn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

class WindowsTest : public MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        logActivity();
    }

    void setAction(int action) {
        SettingsStore(std::string(kDefaultConfigKey) + "\\Config")
            .write_int("", "iNewWindowAction", action);
    }

    // Refuses every address with "BAD" in it.
    void excludeBad() { excludeInDefaultGroup("block", {"BAD"}); }

    SettingsStore group() { return SettingsStore(std::string(kGroupsKey) + "\\Default Group"); }

    QString url(const char* path) const { return server.url(QString::fromLatin1(path)).toString(); }

    // A page asks for a new window on `address`; true when the engine is kept from opening one.
    bool askForWindow(TMainForm& form, const QString& address) {
        bool processed = false;
        form.WebBrowser1NewWindow(address, processed);
        return processed;
    }
};

TEST_F(WindowsTest, TheNextPaneIsAddedWhenMissingAndPaneFourWrapsToOne) {
    setAction(2);
    struct Case {
        int panes, current, target, panesAfter;
    };
    for (const Case c : {Case{1, 1, 2, 2}, Case{2, 2, 3, 3}, Case{4, 4, 1, 4}}) {
        auto form = start();
        while (form->paneState().count() < c.panes)
            form->NewSplitButtonClick();
        form->SetCurrentPane(c.current);
        EXPECT_TRUE(askForWindow(*form, url("/one")));
        EXPECT_EQ(form->paneState().count(), c.panesAfter) << c.panes << " panes, " << c.current;
        EXPECT_TRUE(waitForPage(*form, c.target, QUrl(url("/one"))))
            << c.panes << " panes, " << c.current;
    }
}

TEST_F(WindowsTest, TheCurrentPaneTakesThePageAndOtherActionsOpenNothing) {
    setAction(3);
    auto form = start();
    form->Panes[0].browser->Navigate(url("/one"));
    ASSERT_TRUE(waitForPage(*form, 1, QUrl(url("/one"))));
    EXPECT_TRUE(askForWindow(*form, url("/two")));
    EXPECT_TRUE(waitForPage(*form, 1, QUrl(url("/two"))));

    setAction(5);
    EXPECT_TRUE(askForWindow(*form, url("/one")));
    QTest::qWait(300);
    EXPECT_EQ(form->Panes[0].browser->LocationURL(), url("/two"));
    EXPECT_EQ(form->paneState().count(), 1);
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(WindowsTest, ASpawnedCopyGetsTheAddressWholeAndARefusedOneNoCopy) {
    setAction(0);
    auto form = start();
    const QString odd = url("/a page") + QStringLiteral("?q=\"quoted words\"");
    EXPECT_TRUE(askForWindow(*form, odd));
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, QCoreApplication::applicationFilePath().toStdString());
    EXPECT_EQ(launcher.started[0].folder, programFolder().string());
    EXPECT_THAT(launcher.started[0].arguments,
                ElementsAre("Url=" + odd.toStdString(), "Group=Default Group", "User=Default User",
                            StartsWith("Token="), StartsWith("Main=")));
    // The token lets a copy of that user run, and no one else's.
    EXPECT_FALSE(
        claimSpawnToken(launcher.started[0].arguments[3].substr(6), "Default Group", "ann", clock));
    EXPECT_TRUE(askForWindow(*form, odd));
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_TRUE(claimSpawnToken(launcher.started[1].arguments[3].substr(6), "Default Group",
                                "Default User", clock));
    launcher.started.resize(1);

    excludeBad();
    ASSERT_TRUE(form->ReloadSettings(true));
    ASSERT_TRUE(waitForLists(*form));
    EXPECT_TRUE(askForWindow(*form, url("/bad")));
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("excluding: ") + url("/bad"));
    EXPECT_NE(log().find("Excluded site attempt: " + url("/bad").toStdString()), std::string::npos)
        << log();
}

TEST_F(WindowsTest, EveryActionJudgesTheAddressWhereItOpens) {
    excludeBad();
    auto form = start();
    form->Panes[0].browser->Navigate(url("/one"));
    ASSERT_TRUE(waitForPage(*form, 1, QUrl(url("/one"))));
    for (const int action : {1, 2, 3}) {
        setAction(action);
        EXPECT_TRUE(askForWindow(*form, url("/bad")));
        EXPECT_TRUE(waitUntil([&] {
            return form->StatusPanel->text() == QStringLiteral("excluding: ") + url("/bad");
        })) << "action "
            << action;
        form->StatusPanel->clear();
    }
    QTest::qWait(300);
    EXPECT_TRUE(launcher.opened.empty());
    for (int pane = 1; pane <= form->paneState().count(); ++pane)
        EXPECT_NE(form->Panes[pane - 1].browser->LocationURL(), url("/bad")) << pane;

    // The desktop's browser knows no list: while one is in force it opens nothing at all. (A
    // minute on, so the refusal is not folded into those above.)
    clock.advance(std::chrono::minutes(1));
    setAction(1);
    EXPECT_TRUE(askForWindow(*form, url("/two")));
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("excluding: ") + url("/two"));
    EXPECT_NE(log().find("Excluded site attempt: " + url("/two").toStdString()), std::string::npos)
        << log();
    EXPECT_TRUE(launcher.opened.empty());

    group().write_bool("", "bGroupUseExcl", false);
    ASSERT_TRUE(form->ReloadSettings(true));
    ASSERT_TRUE(waitForLists(*form));
    EXPECT_TRUE(askForWindow(*form, url("/two")));
    EXPECT_THAT(launcher.opened, ElementsAre(url("/two").toStdString()));
}

TEST_F(WindowsTest, ALinkWithATargetReachesTheSwitch) {
    setAction(3);
    server.addPage(QStringLiteral("/target"),
                   "<html><title>Target</title><body style=\"margin:0\"><a target=\"_blank\" "
                   "href=\"/two\" style=\"display:block;width:300px;height:200px\">two</a>"
                   "</body></html>");
    auto form = start();
    form->Panes[0].browser->Navigate(url("/target"));
    ASSERT_TRUE(waitForPage(*form, 1, QUrl(url("/target"))));
    QWidget* view = form->Panes[0].browser->focusProxy();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::qWait(300);
    if (form->Panes[0].browser->LocationURL() != url("/two"))
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_TRUE(waitForPage(*form, 1, QUrl(url("/two"))));
}

TEST_F(WindowsTest, TheNewWindowButtonStartsACopyForTheSameUser) {
    auto form = start();
    form->SpeedButton1->click();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_THAT(launcher.started[0].arguments,
                ElementsAre("Copy=1", "Group=Default Group", "User=Default User",
                            StartsWith("Token="), StartsWith("Main=")));
}

TEST_F(WindowsTest, ACopyBrowsesOffTheRecordWithTheCookiesHandedOverToIt) {
    const std::string token = "0123456789abcdef0123456789abcdef";
    QNetworkCookie cookie("who", "ann");
    cookie.setDomain(QStringLiteral("127.0.0.1"));
    cookie.setPath(QStringLiteral("/"));
    const std::filesystem::path handover = cookieHandoverFile(token);
    ASSERT_TRUE(writeCookieHandover(handover, {cookie}));
    auto copy = start({"Url=" + url("/two").toStdString(), "Group=Default Group",
                       "User=Default User", "Token=" + token});
    ASSERT_TRUE(waitForPage(*copy, 1, QUrl(url("/two"))));
    EXPECT_TRUE(copy->Panes[0].browser->profile()->isOffTheRecord());
    EXPECT_FALSE(std::filesystem::exists(handover));
    QByteArray sent;
    for (const auto& request : server.requests()) {
        if (request.path == QStringLiteral("/two"))
            sent = request.headers.value("cookie");
    }
    EXPECT_TRUE(sent.contains("who=ann")) << sent.toStdString();
}

// ann signs on in a main window that starts a real copy for a link; the copy runs.
class CopyTest : public WindowsTest {
  protected:
    void SetUp() override {
        WindowsTest::SetUp();
        // The copy checks its token's age on the real clock.
        clock.set(std::chrono::system_clock::now());
        SettingsStore admin(kAdminKey);
        admin.write_bool("", "bUseLogon", true);
        admin.write_bool("", "bUseGroups", true);
        writeUserRecord("Default Group", "ann", {"Default Group", false, ""});
        writeUserRecord("Default Group", "bob", {"Default Group", false, ""});
        SettingsStore(annConfig).write_int("", "iNewWindowAction", 0);
        LogonTyper ann({{QStringLiteral("ann"), QString()}});
        form = start();
        ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "ann"; }));
        ASSERT_TRUE(waitForLists(*form));
        EXPECT_TRUE(askForWindow(*form, url("/two")));
        ASSERT_EQ(launcher.started.size(), 1u);

        // The program itself, started as the window asked.
        QStringList arguments;
        for (const std::string& argument : launcher.started[0].arguments)
            arguments.append(QString::fromStdString(argument));
        copy.start(QStringLiteral(TARN_TARNVIEW), arguments);
        ASSERT_TRUE(copy.waitForStarted());
        ASSERT_TRUE(waitUntil([&] { return server.hits(QStringLiteral("/two")) > 0; }, 30000));
        ASSERT_EQ(copy.state(), QProcess::Running);
    }
    void TearDown() override {
        if (copy.state() != QProcess::NotRunning) {
            copy.kill();
            copy.waitForFinished();
        }
        form.reset();
        WindowsTest::TearDown();
    }

    const std::string annConfig = std::string(kTarnviewRoot) + "\\Default Group\\ann\\Config";
    std::unique_ptr<TMainForm> form;
    QProcess copy;
};

TEST_F(CopyTest, ACopyClosesWhenItsUserSignsOff) {
    LogonTyper bob({{QStringLiteral("bob"), QString()}});
    QTimer::singleShot(0, form.get(), [&] { form->SignonButtonClick(); });
    ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "bob"; }));
    ASSERT_TRUE(waitForLists(*form));
    EXPECT_TRUE(copy.waitForFinished(5000)) << "the copy outlived its user's sign-off";
}

TEST_F(CopyTest, ClosingTheMainWindowSignsItsUserOffAndClosesTheCopy) {
    EXPECT_EQ(SettingsStore(annConfig).read_string("", "bUserActive", ""), "1");
    form->Exit1->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(copy.waitForFinished(5000)) << "the copy outlived its main window";
    EXPECT_EQ(SettingsStore(annConfig).read_string("", "bUserActive", ""), "0");
}

TEST_F(CopyTest, ACopyClosesWhenItsMainWindowGoesWithoutClosing) {
    // As when the main instance is killed: its connections end without a word.
    form.reset();
    EXPECT_TRUE(copy.waitForFinished(5000)) << "the copy outlived its main instance";
}

TEST_F(WindowsTest, NewMessageFollowsTheMailMenuAndTheMailLinkPermissions) {
    group().write_bool("", "bGroupAllowMailLinks", false);
    auto form = start();
    form->NewMessage1->trigger();
    EXPECT_TRUE(waitUntil([&] {
        return form->StatusPanel->text() == QStringLiteral("email links have been disabled..");
    }));
    EXPECT_TRUE(launcher.opened.empty());

    group().write_bool("", "bGroupAllowMailLinks", true);
    ASSERT_TRUE(form->ReloadSettings(true));
    ASSERT_TRUE(waitForLists(*form));
    form->NewMessage1->trigger();
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(QString::fromStdString(launcher.opened[0]).toLower(), QStringLiteral("mailto:"));

    group().write_bool("", "bGroupAllowMailMenu", false);
    form->NewMessage1->trigger();
    EXPECT_THAT(prompter.shown, ElementsAre("New messages may not be created using Tarnview"));
    EXPECT_EQ(launcher.opened.size(), 1u);
}

TEST_F(WindowsTest, ReadMessagesRunsTheGroupsReaderOrSaysWhyNot) {
    auto form = start();
    form->ReadMessages1->trigger();  // no reader set
    group().write_string("", "sGroupReadMailProgram", "mail-reader --box 'My Inbox'");
    form->ReadMessages1->trigger();
    launcher.runs = false;
    form->ReadMessages1->trigger();
    group().write_bool("", "bGroupAllowReadMail", false);
    form->ReadMessages1->trigger();
    EXPECT_THAT(launcher.commandLines,
                ElementsAre("", "mail-reader --box 'My Inbox'", "mail-reader --box 'My Inbox'"));
    EXPECT_THAT(prompter.shown,
                ElementsAre("Error invoking your mail reader program, check admin mail settings..",
                            "Error invoking your mail reader program, check admin mail settings..",
                            "Messages may not be read from Tarnview"));
}

}  // namespace
}  // namespace tarn::test
