// Browsing in the panes under the group's lists, end to end through the engine.
#include <gmock/gmock.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>

#include "app/url_combo_box.h"
#include "engine/web_browser.h"
#include "log/log_line.h"
#include "log/log_rewrite.h"
#include "main_form_fixture.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "qt_wait.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"

namespace tarn::test {
namespace {

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class NavigationTest : public MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        logActivity();
        server.addPage(QStringLiteral("/bad"), "<html><title>Bad</title>bad</html>");
        server.addPage(QStringLiteral("/badword"), "<html><title>Word</title>word</html>");
        server.addRedirect(QStringLiteral("/redirect"), QStringLiteral("/bad"));
        server.addPage(QStringLiteral("/meta"),
                       "<html><head><meta http-equiv=\"refresh\" content=\"0; url=/bad\">"
                       "<title>Meta</title></head>meta</html>");
        server.addPage(QStringLiteral("/mail"),
                       "<html><title>Mail</title><body style=\"margin:0\"><a id=\"m\" "
                       "href=\"MailTo:someone@example.com\" style=\"display:block;width:300px;"
                       "height:200px\">write</a></body></html>");
        server.addPage(QStringLiteral("/links"),
                       "<html><title>Links</title><a id=\"bad\" href=\"/bad\">bad</a></html>");
    }

    // Refuses "/BAD" as an exclusion entry and "badword" as a word for Default Group.
    void excludeBad() { excludeInDefaultGroup("block", {"/BAD"}, {"badword"}); }

    QString url(const char* path) const { return server.url(QString::fromLatin1(path)).toString(); }

    // Navigates pane 1 and waits until it shows `path` with its title, so that a late title
    // can not overwrite the status a later step checks.
    void open(TMainForm& form, const char* path) {
        form.Panes[0].browser->Navigate(url(path));
        ASSERT_TRUE(waitForPage(form, 1, QUrl(url(path))));
        // Until its title arrives, the engine gives the address as the page's name.
        ASSERT_TRUE(waitUntil([&] {
            return !form.Panes[0].browser->LocationName().contains(QStringLiteral("127.0.0.1"));
        }));
    }

    // True when pane 1 is still on `path` a while after a navigation that must be refused.
    bool staysOn(TMainForm& form, const char* path) {
        QTest::qWait(400);
        return form.Panes[0].browser->LocationURL() == url(path);
    }

    // Mail links leave the engine only on a real click, so the test clicks like a user. The
    // view may take a first click for its focus alone.
    void clickMailLink(TMainForm& form) {
        QWidget* view = form.Panes[0].browser->focusProxy();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(40, 40));
        QTest::qWait(300);
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(40, 40));
    }
};

TEST_F(NavigationTest, EnterInAnAddressBoxOpensThePageInItsPaneAndRemembersIt) {
    auto form = start();
    form->NewSplitButtonClick();
    BrowserPane& pane = form->Panes[1];
    pane.url->setEditText(url("/two"));
    QTest::keyClick(pane.url->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(form->paneState().current(), 2);
    ASSERT_TRUE(waitForPage(*form, 2, QUrl(url("/two"))));
    EXPECT_TRUE(waitUntil([&] { return pane.statePanel->text() == QStringLiteral("Arrived OK"); }));
    ASSERT_EQ(pane.url->count(), 1);
    EXPECT_EQ(pane.url->itemText(0), url("/two"));
    EXPECT_EQ(form->Panes[0].url->count(), 0);

    // The same address again, in other letters, leaves the history as it is.
    const QString upper =
        url("/two").toUpper().replace(QStringLiteral("HTTP"), QStringLiteral("http"));
    QSignalSpy arrived(pane.browser, &TWebBrowser::NavigateComplete);
    pane.browser->Navigate(upper);
    ASSERT_TRUE(waitUntil([&] { return !arrived.isEmpty(); }));
    EXPECT_EQ(arrived.first().first().toString(), upper);
    EXPECT_EQ(pane.url->count(), 1);
}

TEST_F(NavigationTest, ExcludedAddressesAreRefusedHoweverTheyAreReached) {
    excludeBad();
    auto form = start();
    open(*form, "/links");

    struct Case {
        const char* what;
        std::function<void()> go;
    };
    const Case cases[] = {
        {"typed", [&] { form->Panes[0].browser->Navigate(url("/bad")); }},
        {"link",
         [&] {
             form->Panes[0].browser->page()->runJavaScript(
                 QStringLiteral("document.getElementById('bad').click()"));
         }},
        {"302 redirect", [&] { form->Panes[0].browser->Navigate(url("/redirect")); }},
        {"percent-encoded word", [&] { form->Panes[0].browser->Navigate(url("/%62adword")); }},
        {"view-source",
         [&] { form->Panes[0].browser->Navigate(QStringLiteral("view-source:") + url("/bad")); }},
        {"data address",
         [&] { form->Panes[0].browser->Navigate(QStringLiteral("data:text/html,badword")); }},
    };
    for (const Case& c : cases) {
        c.go();
        EXPECT_TRUE(staysOn(*form, "/links")) << c.what;
    }
    EXPECT_EQ(server.hits(QStringLiteral("/bad")), 0);
    EXPECT_EQ(server.hits(QStringLiteral("/badword")), 0);
    EXPECT_EQ(form->StatusPanel->text().left(11), QStringLiteral("excluding: "));
    EXPECT_NE(log().find("Excluded site attempt: " + url("/bad").toStdString()), std::string::npos)
        << log();
}

TEST_F(NavigationTest, AMetaRefreshToAnExcludedPageIsRefused) {
    excludeBad();
    auto form = start();
    form->Panes[0].browser->Navigate(url("/meta"));
    ASSERT_TRUE(waitForPage(*form, 1, QUrl(url("/meta"))));
    EXPECT_TRUE(staysOn(*form, "/meta"));
    EXPECT_EQ(server.hits(QStringLiteral("/bad")), 0);
}

TEST_F(NavigationTest, BackToAPageThatTheNewListsRefuseStaysPut) {
    auto form = start();
    open(*form, "/one");
    open(*form, "/two");
    excludeInDefaultGroup("late", {"/one"});
    form->ReloadSettings(true);  // as after the administration window

    const int visits = server.hits(QStringLiteral("/one"));
    form->Panes[0].browser->GoBack();
    EXPECT_TRUE(staysOn(*form, "/two"));
    EXPECT_EQ(server.hits(QStringLiteral("/one")), visits);
}

TEST_F(NavigationTest, AnInclusionOnlyRefusalIsShownButNotLogged) {
    createInclusionList("only");
    saveListPart(ListFamily::URLInclusion, "only", {"/ONE"});
    SettingsStore group(std::string(kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupUseIncl", true);
    group.write_string("", "sGroupInclList", "only");
    auto form = start();
    open(*form, "/one");
    // The page's title reaches the status panel a moment after the page has it; shown late, it
    // would cover the refusal.
    ASSERT_TRUE(waitUntil([&] { return form->StatusPanel->text() == QStringLiteral("One"); }));
    form->Panes[0].browser->Navigate(url("/two"));
    EXPECT_TRUE(staysOn(*form, "/one"));
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("excluding: ") + url("/two"));
    EXPECT_EQ(log().find("Excluded"), std::string::npos);
}

TEST_F(NavigationTest, MailLinksAreRefusedWhenTheGroupForbidsThem) {
    SettingsStore group(std::string(kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupAllowMailLinks", false);
    auto form = start();
    open(*form, "/mail");
    clickMailLink(*form);
    EXPECT_TRUE(waitUntil([&] {
        return form->StatusPanel->text() == QStringLiteral("email links have been disabled..");
    }));
    EXPECT_NE(log().find("Excluded site attempt: mailto:someone@example.com"), std::string::npos)
        << log();
    EXPECT_TRUE(launcher.opened.empty());

    // Allowed, the link goes to the platform's mail handler.
    group.write_bool("", "bGroupAllowMailLinks", true);
    form->ReloadSettings(true);
    open(*form, "/mail");
    clickMailLink(*form);
    EXPECT_TRUE(waitUntil([&] { return !launcher.opened.empty(); }));
    EXPECT_THAT(launcher.opened, ::testing::Each(std::string("mailto:someone@example.com")));
}

TEST_F(NavigationTest, AMailLinkThatWouldAttachFilesIsRefusedAndLogged) {
    const std::string link = "mailto:x@example.org?subject=hi&attach=" + userHiveFile().string() +
                             "&attachment=file:///etc/passwd";
    server.addPage(QStringLiteral("/mail"),
                   QStringLiteral("<html><title>Mail</title><body style=\"margin:0\"><a "
                                  "href=\"%1\" style=\"display:block;width:300px;"
                                  "height:200px\">write</a></body></html>")
                       .arg(QString::fromStdString(link))
                       .toUtf8());
    auto form = start();
    open(*form, "/mail");
    clickMailLink(*form);
    EXPECT_TRUE(waitUntil([&] {
        return form->StatusPanel->text().startsWith(QStringLiteral("excluding: mailto:"));
    })) << form->StatusPanel->text().toStdString();
    EXPECT_NE(log().find("Excluded site attempt: mailto:x@example.org?subject=hi&attach="),
              std::string::npos)
        << log();
    QTest::qWait(300);
    EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(NavigationTest, APageFloodingTheLogWithRefusalsWritesTwoShortLinesAMinute) {
    excludeBad();
    server.addPage(QStringLiteral("/flood"),
                   "<html><title>Flood</title><body><script>"
                   "const far = '/bad?' + 'x'.repeat(1000000);"
                   "let n = 0;"
                   "const timer = setInterval(() => {"
                   "  const f = document.createElement('iframe');"
                   "  f.src = far + (n++);"
                   "  document.body.appendChild(f);"
                   "  if (n === 60) { clearInterval(timer); document.title = 'Done'; }"
                   "}, 5);"
                   "</script></body></html>");
    auto form = start();
    open(*form, "/flood");
    ASSERT_TRUE(waitUntil(
        [&] { return form->Panes[0].browser->LocationName() == QStringLiteral("Done"); }));
    QTest::qWait(500);
    EXPECT_EQ(countOf(log(), "Excluded site attempt: "), 1u);
    clock.advance(std::chrono::seconds(61));
    form->Timer1Timer();
    const std::string written = log();
    EXPECT_EQ(countOf(written, "Excluded site attempt: "), 2u);
    // Both lines carry a million-character address, cut.
    EXPECT_EQ(countOf(written, "... (cut, "), 2u);
    EXPECT_NE(written.find("refusals from the same page within a minute)"), std::string::npos);
    EXPECT_LT(written.size(), 2 * kLoggedAddressLength + 400);
}

TEST_F(NavigationTest, ARefusalThatCanNotBeLoggedIsSaid) {
    excludeBad();
    SettingsStore(kAdminKey).write_string("", "sLogFileLocation", "/dev/full");
    auto form = start();
    open(*form, "/one");
    form->Panes[0].browser->Navigate(url("/bad"));
    EXPECT_TRUE(waitUntil([&] {
        return form->StatusPanel->text().startsWith(
            QStringLiteral("Not recorded: the activity log /dev/full could not be written"));
    })) << form->StatusPanel->text().toStdString();
    EXPECT_EQ(form->session().activityLog().lost(), 1);
}

TEST_F(NavigationTest, AMailLinkLoadsNothingAndSoStartsNoLoadTiming) {
    auto form = start();
    open(*form, "/mail");
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    clickMailLink(*form);
    ASSERT_TRUE(waitUntil([&] { return !launcher.opened.empty(); }));
    // A person takes a moment before the next address; the engine may still be handing out
    // the second click.
    QTest::qWait(1000);
    clock.advance(std::chrono::seconds(30));
    open(*form, "/one");
    ASSERT_TRUE(waitUntil([&] { return !form->Panes[0].stopButton->isEnabled(); }));
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    // The fake clock stands still while the page loads.
    EXPECT_NE(log().find(" 0.00 sec " + url("/one").toStdString() + "\r\n"), std::string::npos)
        << log();
}

TEST_F(NavigationTest, RefreshOfAnEmptyPaneWarns) {
    auto form = start();
    form->NewSplitButtonClick();
    form->LeftTopRefreshBtnClick(form->Panes[1]);
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("Warning: can not refresh on Web2.."));
}

TEST_F(NavigationTest, ThePageLoadOfPaneOneIsLoggedAtTheNextTick) {
    auto form = start();
    open(*form, "/one");
    ASSERT_TRUE(waitUntil([&] { return !form->Panes[0].stopButton->isEnabled(); }));
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    const std::string text = log();
    EXPECT_NE(text.find(" sec " + url("/one").toStdString() + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Default Group Default User"), std::string::npos) << text;
}

TEST_F(NavigationTest, RememberAllStoresThePanesAndTheirAddresses) {
    auto form = start();
    open(*form, "/one");
    form->NewSplitButtonClick();
    form->RememberAllBtn->click();
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    EXPECT_EQ(readValue(config, "iNumberOfPanes"), "2");
    EXPECT_EQ(readValue(config, "sPane1Url"), url("/one").toStdString());
    EXPECT_EQ(readValue(config, "sPane2Url"), "<absent>");
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("All currents settings set as defaults"));
}

TEST_F(NavigationTest, ThePlatformBrowserButtonOpensOnlyWhatTheListsAllow) {
    auto form = start();
    form->TransparentButton1->click();
    ASSERT_EQ(launcher.opened.size(), 1u) << form->StatusPanel->text().toStdString();
    EXPECT_EQ(launcher.opened[0], "https://www.mozilla.org/");

    // No list governs the desktop's browser: under any list it stays shut, whatever it names.
    for (const char* entry : {"mozilla", "bad.example"}) {
        excludeInDefaultGroup("block", {entry});
        ASSERT_TRUE(form->ReloadSettings(true));
        ASSERT_TRUE(waitForLists(*form));
        form->TransparentButton1->click();
        clock.advance(std::chrono::minutes(1));  // not folded into the next refusal
        EXPECT_EQ(launcher.opened.size(), 1u) << entry;
        EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("excluding: https://www.mozilla.org/"));
    }
    EXPECT_EQ(countOf(log(), "Excluded site attempt: https://www.mozilla.org/"), 2) << log();
}

TEST_F(NavigationTest, ThePlatformBrowserButtonNeedsTheInclusionListToo) {
    createInclusionList("allow");
    saveListPart(ListFamily::URLInclusion, "allow", {"www.mozilla.org.example"});
    SettingsStore group(std::string(kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupUseIncl", true);
    group.write_string("", "sGroupInclList", "allow");
    auto form = start();
    form->TransparentButton1->click();
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("excluding: https://www.mozilla.org/"));
}

TEST_F(NavigationTest, AReloadThatCanNotReadTheListsKeepsThePolicyInForce) {
    excludeBad();
    auto form = start();
    open(*form, "/one");
    // The list gains a file that exists but can not be read: a folder in its place.
    const std::filesystem::path unreadable = dataHome / "more-sites.txt";
    std::filesystem::create_directories(unreadable);
    saveListPart(ListFamily::URLExclIni, "block", {unreadable.string()});

    EXPECT_FALSE(form->ReloadSettings(true));
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_NE(prompter.shown.back().find(unreadable.string()), std::string::npos)
        << prompter.shown.back();
    form->Panes[0].browser->Navigate(url("/bad"));
    EXPECT_TRUE(staysOn(*form, "/one"));
    EXPECT_EQ(server.hits(QStringLiteral("/bad")), 0);
    open(*form, "/two");
}

TEST_F(NavigationTest, AutomaticRefreshInSecondsAndACycleStepWithTheTick) {
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    setValue(config, "iWeb1RefreshRate", "2");
    setValue(config, "bWeb1RefreshMins", "0");
    setValue(config, "bWeb1OkToAutoRefresh", "1");
    setValue(config, "iWeb1CycleRate", "3");
    setValue(config, "bWeb1CycleMins", "0");
    setValue(config, "bWeb1OkToCycle", "1");
    setValue(std::string(kDefaultConfigKey) + "\\Web1Cycle", "sUrl0", url("/three").toStdString());
    auto form = start();
    open(*form, "/one");
    ASSERT_TRUE(waitUntil([&] { return !form->Panes[0].stopButton->isEnabled(); }));

    form->Panes[0].popupButton->click();
    form->WebPopup->close();
    EXPECT_TRUE(form->StartAutomaticRefresh1->isEnabled());
    EXPECT_FALSE(form->StopAutomaticRefresh1->isEnabled());
    form->StartAutomaticRefresh1->trigger();
    const int loads = server.hits(QStringLiteral("/one"));
    for (int second = 0; second < 2; ++second) {
        clock.advance(std::chrono::seconds(1));
        form->Timer1Timer();
    }
    EXPECT_NE(form->StatusPanel->text().indexOf(QStringLiteral(": auto-refresh of Web1")), -1);
    EXPECT_TRUE(waitUntil([&] { return server.hits(QStringLiteral("/one")) == loads + 1; }));
    form->StopAutomaticRefresh1->trigger();

    form->StartURLCycle1->trigger();
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    EXPECT_NE(form->StatusPanel->text().indexOf(QStringLiteral(": auto-cycling of Web1")), -1);
    EXPECT_TRUE(waitForPage(*form, 1, QUrl(url("/three"))));
}

TEST_F(NavigationTest, ARefreshAndACycleSetToStartWithTarnviewRunWithoutTheMenu) {
    const std::string config = std::string(kDefaultConfigKey) + "\\Config";
    setValue(config, "sPane1Url", url("/one").toStdString());
    setValue(config, "iWeb1RefreshRate", "2");
    setValue(config, "bWeb1RefreshMins", "0");
    setValue(config, "bWeb1RefreshAtStart", "1");
    // Cycling is set to start too, but not allowed: it stays off.
    setValue(config, "bWeb1CycleAtStart", "1");
    setValue(config, "iWeb1CycleRate", "1");
    setValue(config, "bWeb1CycleMins", "0");
    setValue(std::string(kDefaultConfigKey) + "\\Web1Cycle", "sUrl0", url("/three").toStdString());
    for (const bool allowed : {false, true}) {
        setValue(config, "bWeb1OkToAutoRefresh", allowed ? "1" : "0");
        auto form = start();
        ASSERT_TRUE(waitForPage(*form, 1, QUrl(url("/one"))));
        ASSERT_TRUE(waitUntil([&] { return !form->Panes[0].stopButton->isEnabled(); }));
        const int loads = server.hits(QStringLiteral("/one"));
        for (int second = 0; second < 3; ++second) {
            clock.advance(std::chrono::seconds(1));
            form->Timer1Timer();
        }
        QTest::qWait(500);
        EXPECT_EQ(server.hits(QStringLiteral("/one")) > loads, allowed) << allowed;
        EXPECT_EQ(server.hits(QStringLiteral("/three")), 0) << "cycling was not allowed";
    }
}

TEST_F(NavigationTest, FileOpenLoadsTheChosenPageIntoTheCurrentPane) {
    const std::filesystem::path page = dataHome / "saved page.htm";
    writeFile(page, "<html><title>Saved</title>saved</html>");
    auto form = start();
    form->NewSplitButtonClick();
    form->SetCurrentPane(2);
    prompter.files.push_back(page.string());
    form->Open1->trigger();
    EXPECT_TRUE(waitForPage(*form, 2, QUrl::fromLocalFile(QString::fromStdString(page.string()))));
}

TEST_F(NavigationTest, FileOpenAndStartAddressesRefuseTarnviewsOwnPlaces) {
    writeFile(logFile, "every person's visits");
    writeFile(logBackupFile(logFile), "older visits");
    auto form = start();
    open(*form, "/one");
    for (const std::filesystem::path& own :
         {userHiveFile(), machineHiveFile(), logFile, logBackupFile(logFile),
          configFolder() / "tarnview.lock", programFolder() / "tarnview.hlp"}) {
        prompter.files.push_back(own.string());
        form->Open1->trigger();
        ASSERT_FALSE(prompter.shown.empty()) << own;
        EXPECT_EQ(prompter.shown.back(),
                  own.string() +
                      " can not be opened in Tarnview: that place holds Tarnview's "
                      "settings, log or program files. Choose another file.");
        EXPECT_TRUE(staysOn(*form, "/one")) << own;
    }
    // The program's own start page still opens.
    prompter.files.push_back((programFolder() / "blank.htm").string());
    form->Open1->trigger();
    EXPECT_TRUE(waitForPage(*form, 1, QUrl(blankPageUrl())));

    // Nor can a start address name them.
    form.reset();
    setValue(std::string(kDefaultConfigKey) + "\\Config", "sPane1Url",
             QUrl::fromLocalFile(QString::fromStdString(userHiveFile().string()))
                 .toString()
                 .toStdString());
    const size_t shown = prompter.shown.size();
    form = start();
    EXPECT_TRUE(waitUntil([&] { return prompter.shown.size() > shown; }));
    QTest::qWait(300);
    EXPECT_NE(form->Panes[0].browser->LocationURL(),
              QUrl::fromLocalFile(QString::fromStdString(userHiveFile().string())).toString());
}

TEST_F(NavigationTest, ASpawnedCopyClosesWhenItsUserSignsOffInTheMainInstance) {
    SettingsStore(kAdminKey).write_bool("", "bUseLogon", true);
    const std::string annConfig =
        "Software\\Kestrow Software\\Tarnview\\Default Group\\ann\\Config";
    setValue(annConfig, "bUserActive", "1");  // as the main instance's sign-on leaves it
    auto form = start({"Copy=1", "Group=Default Group", "User=ann"});
    ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    EXPECT_TRUE(form->isVisible());

    setValue(annConfig, "bUserActive", "0");
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(NavigationTest, ASpawnedCopyOfAUserWhoNeverSignedOnClosesAtTheFirstTick) {
    SettingsStore(kAdminKey).write_bool("", "bUseLogon", true);
    auto form = start({"Copy=1", "Group=Default Group", "User=bob"});
    ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    EXPECT_FALSE(form->isVisible());
}

}  // namespace
}  // namespace tarn::test
