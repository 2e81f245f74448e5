// The page decides every navigation by the policy it was built with, whoever listens.
#include <gtest/gtest.h>

#include <QTest>

#include "browser_fixture.h"
#include "qt_wait.h"
#include "recording_launcher.h"
#include "settings/group_lists.h"

namespace tarn::test {
namespace {

// A group policy that excludes every address containing `entry`.
std::shared_ptr<const NavigationPolicy> excluding(const std::string& entry) {
    GroupLists lists;
    lists.ExclusionList = {entry};
    return groupPolicy(lists, true);
}

class PolicyTest : public BrowserTest {
  protected:
    // Waits a while and tells whether `view` still shows `path`, the server never having been
    // asked for `refused`.
    bool stayedOn(TWebBrowser& view, const QString& path, const QString& refused) {
        QTest::qWait(400);
        return view.LocationURL() == url(path) && server.hits(refused) == 0;
    }
};

TEST_F(PolicyTest, WithoutAPolicyEveryNavigationIsRefusedWhateverTheListenersSay) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    policy->replace(nullptr);
    const qsizetype from = events.size();
    browser->Navigate(url(QStringLiteral("/b")));
    EXPECT_TRUE(waitFor(QStringLiteral("NavigationRefused ") + url(QStringLiteral("/b")) +
                            QStringLiteral(" excluding: ") + url(QStringLiteral("/b")),
                        from));
    EXPECT_TRUE(stayedOn(*browser, QStringLiteral("/a"), QStringLiteral("/b")));
    EXPECT_FALSE(seen(QStringLiteral("BeforeNavigate ") + url(QStringLiteral("/b")), from));

    // A browser built without any slot refuses from its first navigation on.
    TWebBrowser bare(nullptr);
    bare.show();
    bare.Navigate(url(QStringLiteral("/c")));
    QTest::qWait(400);
    EXPECT_EQ(server.hits(QStringLiteral("/c")), 0);
    EXPECT_TRUE(bare.LocationURL().isEmpty());
}

TEST_F(PolicyTest, ARefusalNeedsNoListenerAndANewPolicyCountsFromTheNextNavigation) {
    TWebBrowser quiet(policy);  // nobody listens to its events
    quiet.show();
    quiet.Navigate(url(QStringLiteral("/a")));
    ASSERT_TRUE(waitUntil([&] { return quiet.LocationURL() == url(QStringLiteral("/a")); }));

    policy->replace(excluding("/B"));
    quiet.Navigate(url(QStringLiteral("/b")));
    EXPECT_TRUE(stayedOn(quiet, QStringLiteral("/a"), QStringLiteral("/b")));
    quiet.Navigate(url(QStringLiteral("/c")));
    EXPECT_TRUE(waitUntil([&] { return quiet.LocationURL() == url(QStringLiteral("/c")); }));
}

TEST_F(PolicyTest, AnExcludedAddressIsReportedForTheLogAndNeverAskedAbout) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    policy->replace(excluding("/B"));
    const qsizetype from = events.size();
    browser->Navigate(url(QStringLiteral("/b")));
    EXPECT_TRUE(waitFor(QStringLiteral("NavigationRefused ") + url(QStringLiteral("/b")) +
                            QStringLiteral(" excluding: ") + url(QStringLiteral("/b")) +
                            QStringLiteral(" logged"),
                        from));
    EXPECT_FALSE(seen(QStringLiteral("BeforeNavigate ") + url(QStringLiteral("/b")), from));
    EXPECT_FALSE(seen(QStringLiteral("DownloadBegin "), from));
    EXPECT_TRUE(stayedOn(*browser, QStringLiteral("/a"), QStringLiteral("/b")));
}

TEST_F(PolicyTest, OpeningOutsideHandsOnlyAllowedAddressesToTheLauncher) {
    RecordingLauncher launcher;
    const qsizetype from = events.size();
    browser->Navigate(QStringLiteral("https://good.example/"), TWebBrowser::NavOpenInNewWindow);
    EXPECT_TRUE(launcher.opened.empty()) << "no launcher set: nothing opens";

    browser->setLauncher(&launcher);
    browser->Navigate(QStringLiteral("https://good.example/"), TWebBrowser::NavOpenInNewWindow);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"https://good.example/"});
    EXPECT_TRUE(seen(QStringLiteral("BeforeNavigate https://good.example/"), from));

    // A listener may refuse what the policy allows; the launcher then stays shut too.
    refuse = [](const QString&) { return true; };
    browser->Navigate(QStringLiteral("https://good.example/"), TWebBrowser::NavOpenInNewWindow);
    EXPECT_EQ(launcher.opened.size(), 1u);

    // No list governs the desktop's browser: under one, nothing goes there, allowed or not.
    refuse = [](const QString&) { return false; };
    policy->replace(excluding("BAD"));
    for (const QString& address :
         {QStringLiteral("https://bad.example/"), QStringLiteral("https://good.example/")}) {
        browser->Navigate(address, TWebBrowser::NavOpenInNewWindow);
        EXPECT_TRUE(
            seen(QStringLiteral("NavigationRefused %1 excluding: %1 logged").arg(address), from));
    }
    EXPECT_EQ(launcher.opened.size(), 1u);
    // The browser's own page never went anywhere.
    EXPECT_EQ(server.requests().size(), 0);
}

}  // namespace
}  // namespace tarn::test
