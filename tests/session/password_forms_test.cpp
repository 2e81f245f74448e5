#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "named_control.h"
#include "scripted_prompter.h"
#include "session/admin_password.h"
#include "session/new_pass_form.h"
#include "session/password_form.h"

namespace tarn {
namespace {

using test::control;

struct PasswordCase {
    const char* stored;  // the password whose hash is stored; empty stores an empty hash
    const char* typed;
    bool accepted;
};

TEST(PasswordFormTest, AcceptsOnlyThePasswordWhoseHashIsStoredAndClosesEitherWay) {
    const PasswordCase cases[] = {
        {"Secret9", "Secret9", true},
        {"Secret9", "sEcReT9", true},  // letters a to z in any case
        {"Secret9", "Secret8", false},
        {"Secret9", "", false},
        {"", "", true},  // a password asked for but never set: only an empty one passes
        {"", "anything", false},
        {"pa§s", "PA§S", true},
        {"pa§s", "pa$s", false},
    };
    for (const PasswordCase& c : cases) {
        TPasswordForm form(HashAdminPassword(c.stored));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Tarnview Password"));
        auto* edit = control<QLineEdit>(form, "Edit1");
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        form.show();
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        QTest::mouseClick(control<QPushButton>(form, "BitBtn2"), Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Accepted) << c.typed;
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.passwordAccepted(), c.accepted) << c.stored << " / " << c.typed;
    }
}

TEST(PasswordFormTest, ShowingAgainForgetsAnEarlierRightPassword) {
    TPasswordForm form(HashAdminPassword("right"));
    form.show();
    QTest::keyClicks(control<QLineEdit>(form, "Edit1"), QStringLiteral("right"));
    QTest::mouseClick(control<QPushButton>(form, "BitBtn2"), Qt::LeftButton);
    ASSERT_TRUE(form.passwordAccepted());
    form.show();
    EXPECT_FALSE(form.passwordAccepted());
    QTest::mouseClick(control<QPushButton>(form, "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.passwordAccepted());
}

class NewPassFormTest : public ::testing::Test {
  protected:
    void open(const std::string& storedHash) {
        form = std::make_unique<TNewPassForm>(prompter, storedHash);
        form->show();
        old = control<QLineEdit>(*form, "Edit1");
        typed = control<QLineEdit>(*form, "Edit2");
        retyped = control<QLineEdit>(*form, "Edit3");
        ok = control<QPushButton>(*form, "BitBtn1");
    }

    bool newPasswordOpen() {
        return typed->isEnabled() && retyped->isEnabled() &&
               control<QLabel>(*form, "Label2")->isEnabled() &&
               control<QLabel>(*form, "Label3")->isEnabled();
    }

    test::ScriptedPrompter prompter;
    std::unique_ptr<TNewPassForm> form;
    QLineEdit *old{}, *typed{}, *retyped{};
    QPushButton* ok{};
};

TEST_F(NewPassFormTest, WithoutAPasswordTheNewOneIsTypedTwiceAlike) {
    open("");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Change Password"));
    EXPECT_FALSE(old->isEnabled());
    EXPECT_FALSE(control<QLabel>(*form, "Label1")->isEnabled());
    EXPECT_TRUE(newPasswordOpen());

    QTest::keyClicks(typed, QStringLiteral("first"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(prompter.shown, std::vector<std::string>{"Please retype your new password now.."});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(typed->text(), QStringLiteral("first"));

    QTest::keyClicks(retyped, QStringLiteral("First"));  // differs: compared exactly
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(prompter.shown.back(), "New Password was not retyped correctly, try again...");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(typed->text().isEmpty());
    EXPECT_TRUE(retyped->text().isEmpty());
    EXPECT_EQ(form->storedHash(), "");

    QTest::keyClicks(typed, QStringLiteral("second"));
    QTest::keyClicks(retyped, QStringLiteral("second"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->storedHash(), HashAdminPassword("second"));
    EXPECT_EQ(prompter.shown.size(), 2u);
}

TEST_F(NewPassFormTest, WithAPasswordTheOldOneOpensTheNewOne) {
    const std::string stored = HashAdminPassword("Old1");
    open(stored);
    EXPECT_TRUE(old->isEnabled());
    EXPECT_FALSE(newPasswordOpen());

    // Before the old password is known the retype box can not be filled.
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(prompter.shown, std::vector<std::string>{"Please retype your new password now.."});
    QTest::keyClicks(old, QStringLiteral("Old2"));
    EXPECT_FALSE(newPasswordOpen());

    old->clear();
    QTest::keyClicks(old, QStringLiteral("oLD1"));
    EXPECT_TRUE(newPasswordOpen());
    QTest::keyClick(old, Qt::Key_Backspace);  // opened once, it stays open
    EXPECT_TRUE(newPasswordOpen());

    QTest::keyClicks(typed, QStringLiteral("New"));
    QTest::keyClicks(retyped, QStringLiteral("New"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->storedHash(), HashAdminPassword("NEW"));
}

TEST_F(NewPassFormTest, CancelKeepsTheStoredHash) {
    open(HashAdminPassword("keep"));
    QTest::keyClicks(old, QStringLiteral("keep"));
    QTest::keyClicks(typed, QStringLiteral("other"));
    QTest::keyClicks(retyped, QStringLiteral("other"));
    QTest::mouseClick(control<QPushButton>(*form, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(form->storedHash(), HashAdminPassword("keep"));
}

}  // namespace
}  // namespace tarn
