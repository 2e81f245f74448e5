// First start, the start addresses, a spawned copy and a refused close.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>
#include <functional>

#include "app/single_instance.h"
#include "app/startup_check.h"
#include "config/wizard_form.h"
#include "engine/web_browser.h"
#include "logon_typer.h"
#include "main_form_fixture.h"
#include "modal_answer.h"
#include "platform/paths.h"
#include "qt_wait.h"
#include "session/whoami_form.h"
#include "settings/day_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"
#include "temp_env.h"
#include "widgets/adv_splitter.h"
#include "widgets/dock_toolbar.h"

namespace tarn::test {
namespace {

using StartUpTest = MainFormTest;

TEST_F(StartUpTest, FirstStartRunsAsDefaultUserAtTheStartAddress) {
    setValue(kConfigKey, "sInstalledVersion", "");
    setValue(std::string(kDefaultConfigKey) + "\\Config", "sPane1Url",
             server.url(QStringLiteral("/one")).toString().toStdString());
    // The set-up wizard comes, and is cancelled.
    test::ModalAnswer<TWizardForm> wizard(
        [](TWizardForm& dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CancelButton")),
                              Qt::LeftButton);
        },
        15000);
    auto form = start();

    EXPECT_EQ(form->session().userName(), "Default User");
    EXPECT_EQ(form->session().groupName(), "Default Group");
    EXPECT_EQ(form->session().configKey(), kDefaultConfigKey);
    EXPECT_FALSE(visible(*form, form->SignonButton));
    EXPECT_TRUE(visible(*form, form->ExitButton));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarnview"));
    EXPECT_EQ(form->paneState().count(), 1);
    EXPECT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/one"))));
    // The first run's set-up step runs a second after activation; its Cancel leaves the
    // default user on.
    EXPECT_TRUE(waitUntil([&] { return wizard.answered() && !QApplication::activeModalWidget(); }));
    EXPECT_TRUE(form->session().userActive());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(readValue(kConfigKey, "sInstalledVersion"), "1.10");
}

TEST_F(StartUpTest, AFreshInstallationIsSetUpThroughTheWizardAndItsUserSignsOn) {
    setValue(kConfigKey, "sInstalledVersion", "");
    const auto click = [](QWidget& dialog, const char* name) {
        dialog.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    };
    const auto type = [](QWidget& dialog, const char* name, const char* text) {
        dialog.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
    };
    test::ModalAnswer<TWizardForm> wizard(
        [&](TWizardForm& dialog) {
            click(dialog, "OkButton");        // Continue
            click(dialog, "RadioGroup1Yes");  // users sign on
            click(dialog, "NextButton");
            click(dialog, "NextButton");  // the settings stay in the user's hive
            click(dialog, "NextButton");  // favourites below c:\tarnview
            type(dialog, "Edit2", "ann");
            type(dialog, "Edit3", "Secret");
            type(dialog, "Edit4", "Secret");
            click(dialog, "NextButton");
            click(dialog, "OkButton");  // Finish
        },
        15000);
    // The favourites folder is there already: leaving its box asks nothing, whether or not the
    // window had the focus to leave it with.
    std::filesystem::create_directories(mapPath("c:\\tarnview"));
    LogonTyper ann({{QStringLiteral("ann"), QStringLiteral("Secret")}});
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return wizard.answered(); }));
    ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "ann"; }));
    EXPECT_TRUE(ann.done());
    EXPECT_TRUE(form->session().useLogon());
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front();
}

TEST_F(StartUpTest, TheWindowShowsWhileTheListsLoadAndLetsNothingThroughMeanwhile) {
    excludeInDefaultGroup("block", {"/two"});
    // Lines enough that the build is still going once the window has shown, whatever the window
    // system does in the meantime.
    std::string lines;
    for (int line = 0; line < 300'000; ++line)
        lines += "ads" + std::to_string(line) + ".example\n";
    writeFile(root / "blocklist.txt", lines);
    saveListPart(ListFamily::URLExclIni, "block", {(root / "blocklist.txt").string()});
    setValue(std::string(kDefaultConfigKey) + "\\Config", "sPane1Url",
             server.url(QStringLiteral("/one")).toString().toStdString());
    TMainForm form({}, clock, prompter, launcher);
    form.show();
    // The lists are built on a thread and put in force from the event loop, which has not run.
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.session().listsPending());
    EXPECT_EQ(form.StatusPanel->text(), QStringLiteral("loading group lists.."));
    TWebBrowser* pane = form.Panes[0].browser;
    pane->Navigate(server.url(QStringLiteral("/three")).toString());
    EXPECT_EQ(form.StatusPanel->text(),
              QStringLiteral("excluding: ") + server.url(QStringLiteral("/three")).toString());

    ASSERT_TRUE(waitForPage(form, 1, server.url(QStringLiteral("/one"))));
    EXPECT_EQ(server.hits(QStringLiteral("/three")), 0);
    pane->Navigate(server.url(QStringLiteral("/two")).toString());
    EXPECT_EQ(form.StatusPanel->text(),
              QStringLiteral("excluding: ") + server.url(QStringLiteral("/two")).toString());
    pane->Navigate(server.url(QStringLiteral("/three")).toString());
    EXPECT_TRUE(waitForPage(form, 1, server.url(QStringLiteral("/three"))));
}

TEST_F(StartUpTest, ListsKeptFromTheLastStartAreInForceWhenTheWindowShows) {
    excludeInDefaultGroup("block", {"/two"});
    setValue(std::string(kDefaultConfigKey) + "\\Config", "sPane1Url",
             server.url(QStringLiteral("/one")).toString().toStdString());
    const auto kept = [] {
        for (const auto& entry : std::filesystem::directory_iterator(userHiveFile().parent_path()))
            if (entry.path().extension() == ".cache")
                return true;
        return false;
    };
    {
        TMainForm first({}, clock, prompter, launcher);
        first.show();
        ASSERT_TRUE(waitUntil(kept));
    }
    TMainForm form({}, clock, prompter, launcher);
    form.show();
    EXPECT_FALSE(form.session().listsPending());
    EXPECT_EQ(form.StatusPanel->text(), QStringLiteral("lists: 1\\0\\0"));
    form.Panes[0].browser->Navigate(server.url(QStringLiteral("/two")).toString());
    EXPECT_EQ(form.StatusPanel->text(),
              QStringLiteral("excluding: ") + server.url(QStringLiteral("/two")).toString());
    EXPECT_TRUE(waitForPage(form, 1, server.url(QStringLiteral("/one"))));
    EXPECT_EQ(server.hits(QStringLiteral("/two")), 0);
}

TEST_F(StartUpTest, AStartAddressThatDoesNotLoadShowsAnErrorPageAndTheRestWorks) {
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    // A port nobody listens on: the local server's port after it closed is not guaranteed free,
    // so take one from a server that is stopped at once.
    LocalServer closed;
    ASSERT_TRUE(closed.start());
    const QUrl dead = closed.url(QStringLiteral("/gone"));
    closed.stop();
    setValue(config, "sPane1Url", dead.toString().toStdString());
    setValue(config, "sPane2Url", server.url(QStringLiteral("/two")).toString().toStdString());
    setValue(config, "iNumberOfPanes", "2");
    auto form = start();

    EXPECT_TRUE(waitForPage(*form, 2, server.url(QStringLiteral("/two"))));
    EXPECT_TRUE(waitForPage(*form, 1, dead));
    form->NewSplitButtonClick();
    EXPECT_EQ(form->paneState().count(), 3);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StartUpTest, SpawnedCopyOpensItsAddressAndSavesNothing) {
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    setValue(config, "bShowButtonBar", "0");
    setValue(config, "bShowFavorites", "1");
    setValue(config, "iNumberOfPanes", "3");
    const std::string url = server.url(QStringLiteral("/two")).toString().toStdString();
    auto form = start({"Copy=1", "Url=" + url, "Group=Default Group", "User=Default User"});

    EXPECT_EQ(form->session().kind(), InstanceKind::SpawnedCopy);
    // The View marks are the user's; the rest of the layout is the copy's own.
    EXPECT_FALSE(form->ShowButtonbar1->isChecked());
    EXPECT_FALSE(visible(*form, form->MainToolBar));
    EXPECT_TRUE(form->ShowFavoritesList1->isChecked());
    EXPECT_TRUE(visible(*form, form->FavListView));
    EXPECT_EQ(form->paneState().count(), 1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarnview (spawned)"));
    EXPECT_FALSE(form->ConfigButton->isEnabled());
    EXPECT_FALSE(form->Properties1->isEnabled());
    EXPECT_FALSE(visible(*form, form->RememberAllBtn));
    EXPECT_EQ(form->AppSplitter->Position(), 140);
    EXPECT_TRUE(waitForPage(*form, 1, QUrl(QString::fromStdString(url))));
    EXPECT_TRUE(waitUntil([&] { return form->session().userActive(); }));

    EXPECT_TRUE(form->close());
    EXPECT_EQ(readValue(config, "iPosition Left"), "<absent>");
}

TEST_F(StartUpTest, AGroupThatMayNotCloseKeepsTheWindowOpen) {
    SettingsStore store(std::string(kGroupsKey) + "\\Default Group");
    store.write_bool("", "bGroupAllowClose", false);
    auto form = start();

    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "You are not allowed to close Tarnview..");
}

TEST_F(StartUpTest, AWindowSavedOffEveryScreenComesBackOnScreen) {
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    setValue(config, "iPosition Left", "9000");
    setValue(config, "iPosition Top", "-7000");
    auto form = start();

    const QRect screen = form->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(form->pos())) << form->pos().x() << "," << form->pos().y();
}

TEST_F(StartUpTest, HelpButtonOpensTheUserHelpAndAboutKeepsTheCaption) {
    auto form = start();
    form->HelpButton->click();
    auto* help = form->findChild<QWidget*>(QStringLiteral("HelpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Tarnview Help"));

    QTimer::singleShot(0, [] {
        if (QWidget* about = QApplication::activeModalWidget())
            about->close();
    });
    form->About1->trigger();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarnview"));
}

TEST_F(StartUpTest, UserDataShowsTheMinutesCountedToday) {
    writeUserDayMinutes(kDefaultGroup, kDefaultUser, DayRecord::Usage, "2026-12-10", 12);
    // A connect record from an earlier run: today's connected minutes are what this run counts.
    writeUserDayMinutes(kDefaultGroup, kDefaultUser, DayRecord::Connect, "2026-12-10", 45);
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
    QString usage, connect;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<TWhoAmIForm*>(QApplication::activeModalWidget())) {
            usage = dialog->Label3->text();
            connect = dialog->Label4->text();
            dialog->close();
        }
    });
    form->Userdata1->trigger();
    EXPECT_EQ(usage, QStringLiteral("Usage Time Today: 12 min."));
    EXPECT_EQ(
        connect,
        QStringLiteral("Connect Time Today: %1 min.").arg(form->session().connectMinutesToday()));
    EXPECT_EQ(form->session().connectMinutesToday(), 0);
}

TEST_F(StartUpTest, UserDataAndTheClockSayWhatADailyAllowanceLeavesToday) {
    // Without an allowance nothing is said of one.
    {
        auto form = start();
        ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
        bool hasLine = true;
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<TWhoAmIForm*>(QApplication::activeModalWidget())) {
                hasLine = dialog->MinutesLeftLabel != nullptr;
                dialog->close();
            }
        });
        form->Userdata1->trigger();
        EXPECT_FALSE(hasLine);
        form->Timer1Timer();
        EXPECT_TRUE(form->ClockPanel->toolTip().isEmpty());
    }
    SettingsStore(std::string(kGroupsKey) + "\\Default Group").write_int("", "iGroupMaxUsage", 60);
    writeUserDayMinutes(kDefaultGroup, kDefaultUser, DayRecord::Usage, "2026-12-10", 12);
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
    QString left;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<TWhoAmIForm*>(QApplication::activeModalWidget())) {
            if (dialog->MinutesLeftLabel)
                left = dialog->MinutesLeftLabel->text();
            dialog->close();
        }
    });
    form->Userdata1->trigger();
    EXPECT_EQ(left, QStringLiteral("Web Time Left Today: 48 min."));
    form->Timer1Timer();
    EXPECT_EQ(form->ClockPanel->toolTip(), QStringLiteral("Web time left today: %1 min.")
                                               .arg(60 - form->session().usageMinutesToday()));
}

TEST_F(StartUpTest, ALongStatusIsShortenedToTheRoomThereIsAndReadWholeOnHover) {
    auto form = start();
    const int width = form->width();
    const QString message = QStringLiteral(
        "The minutes of use could not be saved (Could not write to the settings file "
        "/home/someone/.config/tarnview/user.hive: database or disk is full); they are counted "
        "again from the next minute. Free some disk space or tell the administrator.");
    form->ShowStatus(message);
    QApplication::processEvents();
    EXPECT_EQ(form->width(), width) << "the window grew to show the whole text";
    EXPECT_LE(form->StatusPanel->width(), width);
    EXPECT_EQ(form->StatusPanel->text(), message);
    EXPECT_EQ(form->StatusPanel->toolTip(), message);
    EXPECT_EQ(form->StatusPanel->accessibleDescription(), message);
}

TEST_F(StartUpTest, SettingsThatCanNotBeReadAtTheStartAreSaidOverAWindowOfNobody) {
    const std::filesystem::path unreadable = excludeThroughUnreadableFile("Default Group");

    TMainForm form({}, clock, prompter, launcher);
    form.show();
    EXPECT_TRUE(prompter.shown.empty()) << "the message came before the window was up";
    ASSERT_TRUE(waitUntil([&] { return !prompter.shown.empty(); }));
    EXPECT_NE(prompter.shown.front().find(unreadable.string()), std::string::npos)
        << prompter.shown.front();
    // Nobody's window: one pane, no sign-on button without sign-on, and why.
    EXPECT_EQ(form.paneState().count(), 1);
    EXPECT_FALSE(visible(form, form.Panes[1].browser));
    EXPECT_FALSE(visible(form, form.SignonButton));
    EXPECT_EQ(form.StatusPanel->text(),
              QStringLiteral("Nobody is signed on: the settings could not be read."));
    EXPECT_FALSE(form.session().userActive());
}

// The checks before any window, on hives nothing has opened yet.
using HiveCheckTest = TempEnv;

TEST_F(HiveCheckTest, ADamagedHiveStopsTheProgramNamingTheFile) {
    writeFile(configHome / "tarnview" / "user.hive", std::string(4096, 'x'));
    const auto failure = checkHives();
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find((configHome / "tarnview" / "user.hive").string()), std::string::npos)
        << *failure;
}

TEST_F(HiveCheckTest, SettingsThatCanNotBeWrittenStopTheProgramNamingWhatIsInTheWay) {
    const std::filesystem::path folder = configHome / "tarnview";
    const std::filesystem::path hive = folder / "user.hive";
    struct Case {
        const char* name;
        std::function<void()> breakIt;
        std::string named;
    };
    const Case cases[] = {
        {"a folder in place of the hive", [&] { std::filesystem::create_directories(hive); },
         hive.string() + " is a folder, where Tarnview keeps its settings file."},
        {"a file in place of the settings folder", [&] { writeFile(folder, "not a folder"); },
         folder.string() + " is a file, where Tarnview keeps its settings folder."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(folder);
        c.breakIt();
        const auto failure = checkHives();
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->find(c.named), 0u) << *failure;
    }
    // Nor does a main instance run without its lock: a second one could count the same
    // allowance twice.
    SingleInstance instance([] {});
    EXPECT_EQ(instance.claim(), SingleInstance::Claim::Failed);
    EXPECT_EQ(instance.failure(), "Tarnview can not make its lock file in " + folder.string() +
                                      ". Check that this account may write that folder and that "
                                      "the disk is not full, then start Tarnview again.");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tarn::test
