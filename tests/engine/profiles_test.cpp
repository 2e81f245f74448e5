// Each signed-on user browses in a profile of their own; the anonymous user off the record.
#include <gtest/gtest.h>

#include <QPointer>
#include <QProcess>
#include <QWebEngineProfile>
#include <filesystem>

#include "browser_fixture.h"
#include "engine/cookie_handover.h"
#include "engine/engine_profiles.h"
#include "platform/paths.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

class ProfilesTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        server.addHandler(QStringLiteral("/set"), [](const LocalServer::Request& request) {
            LocalServer::Response response;
            const QByteArray who = request.query.toUtf8();
            response.headers.append({"Set-Cookie", "who=" + who + "; Max-Age=3600"});
            response.headers.append({"Set-Cookie", "session=" + who});
            response.body = page(QStringLiteral("Set"));
            return response;
        });
        server.addPage(QStringLiteral("/see"), page(QStringLiteral("See")));
    }

    // Browses in `profile` and returns the Cookie header the server then receives.
    QByteArray cookiesSentWith(QWebEngineProfile* profile) {
        browser->setProfile(profile);
        if (!open(QStringLiteral("/see")))
            return "(no page)";
        return server.requests().last().headers.value("cookie");
    }

    void setCookieWith(QWebEngineProfile* profile, const QString& who) {
        browser->setProfile(profile);
        ASSERT_TRUE(open(QStringLiteral("/set?") + who));
    }

    // A profile nobody browses in, so the one in use can be retired.
    QWebEngineProfile* parking() {
        if (!parking_)
            parking_ = new QWebEngineProfile(browser.get());
        return parking_;
    }

  private:
    QWebEngineProfile* parking_{};
};

TEST_F(ProfilesTest, FolderNamesAreSafeAndIgnoreCase) {
    struct Case {
        std::string group, user, folder;
    };
    const Case cases[] = {
        {"Default Group", "Ann", "default%20group/ann"},
        {"Kids", "ANN", "kids/ann"},
        {"Kids", "../x.y", "kids/%2E%2E%2Fx%2Ey"},
        {"A_b-1", "\xC3\x84nne", "a_b-1/%C3%84nne"},
        {"", "ann", "default%20group/ann"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(profileFolder(c.group, c.user), configFolder() / "profiles" / c.folder) << c.user;
    }
}

TEST_F(ProfilesTest, AUsersCookiesComeBackOnlyForThatUser) {
    EngineProfiles profiles(policy);
    QWebEngineProfile* ann = profiles.profileFor("Kids", "ann");
    EXPECT_FALSE(ann->isOffTheRecord());
    setCookieWith(ann, QStringLiteral("ann"));
    EXPECT_TRUE(cookiesSentWith(ann).contains("who=ann"));

    QWebEngineProfile* bob = profiles.profileFor("Kids", "bob");
    browser->setProfile(bob);
    profiles.retire(ann);
    EXPECT_EQ(cookiesSentWith(bob), QByteArray());

    // Signed on again in the same run, in any case of the id, ann finds her session.
    browser->setProfile(parking());
    profiles.retire(bob);
    EXPECT_EQ(profiles.profileFor("Kids", "ANN"), ann);
    EXPECT_TRUE(cookiesSentWith(ann).contains("who=ann"));
    browser->setProfile(parking());
}

TEST_F(ProfilesTest, AUsersCookiesSurviveARestartOfTheProgram) {
    // Each run is a process of its own that shuts down as the program does.
    const auto run = [&](const QString& path, const char* user) {
        QProcess probe;
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(QStringLiteral(TARN_PROFILE_PROBE),
                    {url(path), QStringLiteral("Kids"), QString::fromLatin1(user)});
        const bool ended = waitUntil([&] { return probe.state() == QProcess::NotRunning; }, 60000);
        if (!ended)
            probe.kill();
        return ended && probe.exitCode() == 0;
    };
    ASSERT_TRUE(run(QStringLiteral("/set?ann"), "ann"));
    ASSERT_TRUE(run(QStringLiteral("/see"), "Ann"));
    EXPECT_TRUE(server.requests().last().headers.value("cookie").contains("who=ann"));
    ASSERT_TRUE(run(QStringLiteral("/see"), "bob"));
    EXPECT_EQ(server.requests().last().headers.value("cookie"), QByteArray());
}

TEST_F(ProfilesTest, TheDefaultUsersSessionGoesWhenItsProfileIsRetired) {
    EngineProfiles profiles(policy);
    for (const std::string user : {"", "Default User", "default user"}) {
        SCOPED_TRACE(user);
        QWebEngineProfile* anonymous = profiles.profileFor("Default Group", user);
        EXPECT_TRUE(anonymous->isOffTheRecord());
        setCookieWith(anonymous, QStringLiteral("anon"));
        EXPECT_TRUE(cookiesSentWith(anonymous).contains("who=anon"));
        browser->setProfile(parking());
        profiles.retire(anonymous);

        QWebEngineProfile* next = profiles.profileFor("Default Group", "Default User");
        EXPECT_NE(next, anonymous);
        const QByteArray sent = cookiesSentWith(next);
        EXPECT_FALSE(sent.contains("anon")) << sent.toStdString();
        browser->setProfile(parking());
        profiles.retire(next);
    }
    EXPECT_FALSE(std::filesystem::exists(configFolder() / "profiles"));
}

TEST_F(ProfilesTest, SwitchingGivesANewProfileOnlyForAnotherUserAndRetiresTheLast) {
    EngineProfiles profiles(policy);
    QPointer<QWebEngineProfile> anonymous = profiles.switchTo("", "");
    ASSERT_FALSE(anonymous.isNull());
    browser->setProfile(anonymous);
    EXPECT_EQ(profiles.switchTo("", ""), nullptr) << "the same user keeps the same session";

    QWebEngineProfile* ann = profiles.switchTo("Kids", "ann");
    ASSERT_NE(ann, nullptr);
    EXPECT_FALSE(anonymous.isNull()) << "retired only once its page has gone";
    browser->setProfile(ann);
    EXPECT_TRUE(anonymous.isNull());
    EXPECT_EQ(profiles.switchTo("Kids", "ann"), nullptr);
    browser->setProfile(parking());
}

TEST_F(ProfilesTest, AUsersCookiesAreHandedOverOnceToACopyThatKeepsNothing) {
    EngineProfiles profiles(policy);
    QWebEngineProfile* ann = profiles.switchTo("Kids", "ann");
    setCookieWith(ann, QStringLiteral("ann"));
    ASSERT_TRUE(waitUntil([&] { return profiles.currentCookies().size() == 2; }));

    const std::filesystem::path file = cookieHandoverFile("0123456789abcdef0123456789abcdef");
    ASSERT_TRUE(writeCookieHandover(file, profiles.currentCookies()));
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    EngineProfiles copy(policy);
    copy.keepOffTheRecord();
    QWebEngineProfile* copied = copy.switchTo("Kids", "ann");
    seedCookies(copied, takeCookieHandover(file));
    EXPECT_FALSE(std::filesystem::exists(file)) << "the handover is read once";
    EXPECT_TRUE(cookiesSentWith(copied).contains("who=ann"));
    EXPECT_TRUE(takeCookieHandover(file).isEmpty());
    browser->setProfile(parking());
}

TEST_F(ProfilesTest, ASpawnedCopysProfilesAreAllOffTheRecord) {
    EngineProfiles profiles(policy);
    profiles.keepOffTheRecord();
    QWebEngineProfile* ann = profiles.switchTo("Kids", "ann");
    ASSERT_NE(ann, nullptr);
    EXPECT_TRUE(ann->isOffTheRecord());
    EXPECT_FALSE(std::filesystem::exists(profileFolder("Kids", "ann")));
}

TEST_F(ProfilesTest, AProfileInUseIsRetiredOnlyWhenItsPageHasGone) {
    EngineProfiles profiles(policy);
    QPointer<QWebEngineProfile> anonymous = profiles.profileFor("", "");
    browser->setProfile(anonymous);
    profiles.retire(anonymous);
    EXPECT_FALSE(anonymous.isNull());
    browser->setProfile(parking());
    EXPECT_TRUE(anonymous.isNull());
}

}  // namespace
}  // namespace tarn::test
