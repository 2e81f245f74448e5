// The way into the administration window, and a change made there taking effect at once.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "admin/admin_form.h"
#include "admin/edit_form.h"
#include "config/config_form.h"
#include "engine/web_browser.h"
#include "logon_typer.h"
#include "main_form_fixture.h"
#include "modal_answer.h"
#include "qt_wait.h"
#include "session/admin_password.h"
#include "session/password_form.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"
#include "settings/user_record.h"

namespace tarn::test {
namespace {

class AdminTest : public MainFormTest {
  protected:
    static void click(QWidget& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }

    // Chooses File > Administration and closes the administration window with Cancel should
    // it open; true when it opened.
    bool administrationOpens(TMainForm& form) {
        ModalAnswer<TAdminForm> admin([](TAdminForm& dialog) { click(dialog, "BitBtn2"); }, 3000);
        form.Administration1->trigger();
        return admin.answered();
    }

    QString url(const char* path) const { return server.url(QString::fromLatin1(path)).toString(); }
};

TEST_F(AdminTest, TheGroupsPermissionAndThePasswordGuardTheWindow) {
    SettingsStore group(std::string(kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupAllowAdmin", false);
    auto form = start();
    EXPECT_FALSE(administrationOpens(*form));
    EXPECT_EQ(prompter.shown,
              std::vector<std::string>{"You are not allowed to modify the adminstrative data.."});

    group.write_bool("", "bGroupAllowAdmin", true);
    SettingsStore admin(kAdminKey);
    admin.write_bool("", "bAdminSec", true);
    admin.write_string("", "sSecPass", HashAdminPassword("Sesame"));
    for (const auto& [typed, opens] : {std::pair{"sesame", true}, std::pair{"Sesam", false}}) {
        ModalAnswer<TPasswordForm> password([typed](TPasswordForm& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))
                ->setText(QString::fromLatin1(typed));
            click(dialog, "BitBtn2");
        });
        EXPECT_EQ(administrationOpens(*form), opens) << typed;
        EXPECT_TRUE(password.answered());
    }
    // A wrong password says nothing.
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(AdminTest, WrongPasswordsAreLoggedAndEachMakesTheNextTryWaitLonger) {
    logActivity();
    SettingsStore admin(kAdminKey);
    admin.write_bool("", "bAdminSec", true);
    admin.write_string("", "sSecPass", HashAdminPassword("Sesame"));
    // True when the password prompt showed; it is answered with `typed`.
    auto tryPassword = [&](TMainForm& form, const char* typed) {
        ModalAnswer<TPasswordForm> password([typed](TPasswordForm& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))
                ->setText(QString::fromLatin1(typed));
            click(dialog, "BitBtn2");
        });
        EXPECT_FALSE(administrationOpens(form)) << typed;
        return password.answered();
    };
    auto form = start();
    EXPECT_TRUE(tryPassword(*form, "guess1"));
    EXPECT_FALSE(tryPassword(*form, "guess2"));
    EXPECT_EQ(prompter.shown.back(),
              "Too many wrong administrator passwords. Try again in 1 second.");
    clock.advance(std::chrono::seconds(1));
    EXPECT_TRUE(tryPassword(*form, "guess3"));

    // A restart of the program does not start the count again.
    form.reset();
    form = start();
    EXPECT_FALSE(tryPassword(*form, "guess4"));
    EXPECT_EQ(prompter.shown.back(),
              "Too many wrong administrator passwords. Try again in 2 seconds.");
    EXPECT_NE(log().find("Wrong administrator password"), std::string::npos) << log();
    EXPECT_EQ(log().find("guess"), std::string::npos) << "no password is logged";

    clock.advance(std::chrono::seconds(2));
    {
        ModalAnswer<TPasswordForm> right([](TPasswordForm& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))
                ->setText(QStringLiteral("sesame"));
            click(dialog, "BitBtn2");
        });
        EXPECT_TRUE(administrationOpens(*form));
    }
    EXPECT_TRUE(tryPassword(*form, "guess5"));
    EXPECT_FALSE(tryPassword(*form, "guess6"));
    EXPECT_EQ(prompter.shown.back(),
              "Too many wrong administrator passwords. Try again in 1 second.")
        << "a right password started the count again";
}

TEST_F(AdminTest, SetupOpensTheConfigurationOfTheKeyTheGroupChoosesWhenItAllows) {
    SettingsStore admin(kAdminKey);
    admin.write_bool("", "bUseLogon", true);
    writeUserRecord("Default Group", "ann", {"Default Group", false, ""});
    SettingsStore group(std::string(kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupAllowConfig", false);
    LogonTyper ann({{QStringLiteral("ann"), QString()}});
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "ann"; }));
    form->ConfigButton->click();
    EXPECT_EQ(prompter.shown,
              std::vector<std::string>{"You are not allowed to modify the configuration.."});

    // With one configuration for the whole group, every user of it edits the group's key, and
    // the title still names who opened it.
    group.write_bool("", "bGroupAllowConfig", true);
    group.write_int("", "iUserConfigType", 1);
    LogonTyper again({{QStringLiteral("ann"), QString()}});
    QTimer::singleShot(0, form.get(), [&] { form->SignonButtonClick(); });
    ASSERT_TRUE(waitUntil([&] { return again.done() && form->session().userActive(); }));
    QString key, title;
    test::ModalAnswer<TConfigForm> config([&](TConfigForm& dialog) {
        key = dialog.ConfigKey;
        title = dialog.findChild<QLabel*>(QStringLiteral("Panel14"))->text();
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))
            ->setText(QStringLiteral("http://kids.example/"));
        click(dialog, "BitBtn1");
    });
    form->Properties1->trigger();
    ASSERT_TRUE(config.answered());
    EXPECT_EQ(key.toStdString(), std::string(kTarnviewRoot) + "\\Default Group");
    EXPECT_EQ(title, QStringLiteral("Configuration data is for: ann in group: Default Group"));
    EXPECT_EQ(SettingsStore(std::string(kTarnviewRoot) + "\\Default Group")
                  .read_string("Config", "sPane1Url", ""),
              "http://kids.example/");
}

TEST_F(AdminTest, AnExclusionAddedInTheWindowRefusesTheNextNavigation) {
    excludeInDefaultGroup(kDefaultExclusionList, {"/nothing"});
    auto form = start();
    ASSERT_TRUE(waitForLists(*form));
    form->Panes[0].browser->Navigate(url("/one"));
    ASSERT_TRUE(waitForPage(*form, 1, QUrl(url("/one"))));
    // The page's title reaches the status panel a moment after the page has it; shown late, it
    // would cover the refusal.
    ASSERT_TRUE(waitUntil([&] { return form->StatusPanel->text() == QStringLiteral("One"); }));

    ModalAnswer<TAdminForm> admin([](TAdminForm& dialog) {
        ModalAnswer<TEditForm> entry([](TEditForm& edit) {
            edit.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("/TWO"));
            click(edit, "BitBtn2");
        });
        click(dialog, "BitBtn4");
        EXPECT_TRUE(entry.answered());
        click(dialog, "BitBtn1");
    });
    form->Administration1->trigger();
    ASSERT_TRUE(admin.answered());
    ASSERT_TRUE(waitForLists(*form));

    form->Panes[0].browser->Navigate(url("/two"));
    QTest::qWait(400);
    EXPECT_EQ(form->Panes[0].browser->LocationURL(), url("/one"));
    EXPECT_EQ(server.hits(QStringLiteral("/two")), 0);
    EXPECT_EQ(form->StatusPanel->text(), QStringLiteral("excluding: ") + url("/two"));
}

}  // namespace
}  // namespace tarn::test
