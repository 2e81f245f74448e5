#include "session/logon_form.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "platform/clock.h"
#include "scripted_prompter.h"
#include "settings/admin_area.h"
#include "settings/registry_layout.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

class LogonFormTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        clock.setLocal(2026, 5, 4);
        writeUserRecord(kDefaultGroup, "ann", {"Pupils", true, "Secret"});
        form = std::make_unique<TLogonForm>(prompter, clock);
        form->show();
    }
    void TearDown() override {
        form.reset();
        TempEnv::TearDown();
    }

    void type(const char* user, const char* password) {
        form->Edit2->clear();
        form->Edit1->clear();
        QTest::keyClicks(form->Edit2, QString::fromUtf8(user));
        QTest::keyClicks(form->Edit1, QString::fromUtf8(password));
    }
    std::vector<std::string> shown() const { return prompter.shown; }

    ManualClock clock;
    test::ScriptedPrompter prompter;
    std::unique_ptr<TLogonForm> form;
};

TEST_F(LogonFormTest, ShowsItsControls) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarnview Logon"));
    EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("Edit2")), form->Edit2);
    EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("Edit1"))->echoMode(),
              QLineEdit::Password);
    auto* button = form->findChild<QPushButton*>(QStringLiteral("BitBtn2"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("&Logon"));
    EXPECT_TRUE(button->isDefault());
    EXPECT_EQ(form->focusWidget(), form->Edit2);
    EXPECT_EQ(form->Edit2->nextInFocusChain(), form->Edit1);
    const QPoint offCentre =
        form->frameGeometry().center() - form->screen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);
    auto* groups = form->findChild<QListWidget*>(QStringLiteral("GroupLV"));
    ASSERT_NE(groups, nullptr);
    EXPECT_FALSE(groups->isVisible());
    ASSERT_EQ(groups->count(), 1);
    EXPECT_EQ(groups->item(0)->text(), QStringLiteral("Default Group"));
}

TEST_F(LogonFormTest, CandidateGroupsWithGroupsInUse) {
    openAdminKey(kAdminKey)->write_bool("", "bUseGroups", true);
    writeUserRecord("Alpha", "bob", {"Alpha", false, ""});
    form->hide();
    form->show();
    ASSERT_EQ(form->GroupLV->count(), 2);
    EXPECT_EQ(form->GroupLV->item(0)->text(), QStringLiteral("Default Group"));
    EXPECT_EQ(form->GroupLV->item(1)->text(), QStringLiteral("Alpha"));
}

TEST_F(LogonFormTest, LogonButtonClosesWithTheUsersGroup) {
    type("ann", "Secret");
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->Group(), QStringLiteral("Pupils"));
    EXPECT_EQ(form->UserId(), QStringLiteral("ann"));
    EXPECT_TRUE(shown().empty());
}

TEST_F(LogonFormTest, UnknownIdClearsTheIdAndStaysOpen) {
    type("nobody", "Secret");
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(shown(), std::vector<std::string>{"Invalid user id.."});
    EXPECT_EQ(form->Edit2->text(), QString());
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("Secret"));
    EXPECT_EQ(form->focusWidget(), form->Edit2);
    EXPECT_EQ(form->Group(), QString());
}

TEST_F(LogonFormTest, WrongPasswordClearsThePassword) {
    type("ann", "secret");
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(shown(), std::vector<std::string>{"Incorrect Password entered.."});
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("ann"));
    EXPECT_EQ(form->Edit1->text(), QString());
    EXPECT_EQ(form->focusWidget(), form->Edit1);
}

TEST_F(LogonFormTest, UsedUpAllowanceClearsTheId) {
    openAdminKey(kGroupsKey)->write_int("Pupils", "iGroupMaxUsage", 30);
    openAdminKey(kGroupsKey)->write_string("Pupils\\Users\\ann", "sUsageTime", "2026-05-04,30");
    type("ann", "Secret");
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(shown(), std::vector<std::string>{"You have used all your web time for today..."});
    EXPECT_EQ(form->Edit2->text(), QString());

    // The next day the allowance is fresh.
    clock.setLocal(2026, 5, 5);
    type("ann", "Secret");
    QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(LogonFormTest, FrameAndEscapeRunTheCheck) {
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(shown(), (std::vector<std::string>{"Invalid user id..", "Invalid user id.."}));

    type("ann", "Secret");
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->UserId(), QStringLiteral("ann"));
}

TEST_F(LogonFormTest, ExecReturnsOnlyAfterALogon) {
    form->hide();
    int attempts = 0;
    QTimer::singleShot(0, form.get(), [&] {
        // Frame close with nothing typed, then a valid logon.
        form->close();
        ++attempts;
        type("ann", "Secret");
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        ++attempts;
    });
    EXPECT_EQ(form->exec(), QDialog::Accepted);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(shown(), std::vector<std::string>{"Invalid user id.."});
    EXPECT_EQ(form->Group(), QStringLiteral("Pupils"));
}

}  // namespace
}  // namespace tarn
