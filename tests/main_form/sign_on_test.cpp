// Sign-on when the administrator requires it, and what one user leaves to the next.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <utility>

#include "app/engine/web_browser.h"
#include "main_form_fixture.h"
#include "qt_wait.h"
#include "session/logon_form.h"
#include "settings/day_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"

namespace tarn::test {
namespace {

// Types each (user id, password) pair into the logon dialog whenever it is up, in turn.
class LogonTyper {
  public:
    explicit LogonTyper(std::deque<std::pair<QString, QString>> attempts)
        : attempts_(std::move(attempts)) {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { step(); });
        timer_.start(20);
    }
    bool done() const { return attempts_.empty(); }

  private:
    void step() {
        auto* logon = qobject_cast<TLogonForm*>(QApplication::activeModalWidget());
        if (!logon || attempts_.empty())
            return;
        const auto [user, password] = attempts_.front();
        attempts_.pop_front();
        logon->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(user);
        logon->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(password);
        logon->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->click();
    }

    std::deque<std::pair<QString, QString>> attempts_;
    QTimer timer_;
};

// The Cookie header of the last request for /see with `query`; the engine's own requests (such
// as the icon of the last page) do not count.
QByteArray cookieSentFor(const LocalServer& server, const QString& query) {
    QByteArray cookie;
    for (const auto& request : server.requests()) {
        if (request.path == QStringLiteral("/see") && request.query == query) {
            cookie = request.headers.value("cookie");
        }
    }
    return cookie;
}

class SignOnTest : public MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        markInstalled();
        SettingsStore admin(kAdminKey);
        admin.write_bool("", "bUseLogon", true);
        admin.write_bool("", "bUseGroups", true);
        writeUserRecord("Default Group", "ann", {"Default Group", true, "secret"});
        writeUserRecord("Kids", "bob", {"Kids", false, ""});
    }
};

TEST_F(SignOnTest, TheLogonDialogRefusesUntilAValidLogonAndThenSignsOn) {
    SettingsStore kids(std::string(kGroupsKey) + "\\Kids");
    kids.write_int("", "iGroupMaxUsage", 30);
    writeUserDayMinutes("Kids", "bob", DayRecord::Usage, "2026-12-10", 30);

    LogonTyper typer({{QStringLiteral("nobody"), QString()},
                      {QStringLiteral("ann"), QStringLiteral("Secret")},
                      {QStringLiteral("bob"), QString()},
                      {QStringLiteral("ann"), QStringLiteral("secret")}});
    auto form = start();
    EXPECT_TRUE(visible(*form, form->SignonButton));
    ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));

    EXPECT_TRUE(typer.done());
    EXPECT_EQ(prompter.shown,
              (std::vector<std::string>{"Invalid user id..", "Incorrect Password entered..",
                                        "You have used all your web time for today..."}));
    EXPECT_EQ(form->session().userName(), "ann");
    EXPECT_EQ(form->session().groupName(), "Default Group");
    EXPECT_EQ(form->session().configKey(),
              "Software\\Kestrow Software\\Tarnview\\Default Group\\ann");
    EXPECT_EQ(readValue(form->session().configKey() + "\\Config", "bUserActive"), "1");
}

TEST_F(SignOnTest, CookiesOfOneUserAreNotSentForTheNextAfterASignOff) {
    server.addHandler(QStringLiteral("/set"), [](const LocalServer::Request&) {
        LocalServer::Response response;
        response.headers.append({"Set-Cookie", "who=ann; Max-Age=3600"});
        response.body = "<html><title>set</title>cookie set</html>";
        return response;
    });
    server.addPage(QStringLiteral("/see"), "<html><title>see</title>seen</html>");
    const QUrl set = server.url(QStringLiteral("/set"));
    const QUrl see = server.url(QStringLiteral("/see"));

    LogonTyper ann({{QStringLiteral("ann"), QStringLiteral("secret")}});
    auto form = start();
    ASSERT_TRUE(waitUntil(
        [&] { return form->session().userActive() && form->session().userName() == "ann"; }));
    form->Panes[0].browser->Navigate(set.toString());
    ASSERT_TRUE(waitForPage(*form, 1, set));
    form->Panes[0].browser->Navigate(see.toString());
    ASSERT_TRUE(waitForPage(*form, 1, see));
    ASSERT_TRUE(cookieSentFor(server, QString()).contains("who=ann"));

    LogonTyper bob({{QStringLiteral("bob"), QString()}});
    QTimer::singleShot(0, form.get(), [&] { form->SignonButtonClick(); });
    ASSERT_TRUE(waitUntil(
        [&] { return form->session().userActive() && form->session().userName() == "bob"; }));
    EXPECT_EQ(form->session().groupName(), "Kids");
    form->Panes[0].browser->Navigate(see.toString() + QStringLiteral("?bob"));
    ASSERT_TRUE(waitForPage(*form, 1, QUrl(see.toString() + QStringLiteral("?bob"))));
    EXPECT_FALSE(cookieSentFor(server, QStringLiteral("bob")).contains("who=ann"));
    // ann's own session stays with her profile for her next sign-on.
    EXPECT_EQ(readValue("Software\\Kestrow Software\\Tarnview\\Default Group\\ann\\Config",
                        "bUserActive"),
              "0");
}

}  // namespace
}  // namespace tarn::test
