#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "admin/admin_form.h"
#include "admin/edit_form.h"
#include "admin/group_form.h"
#include "admin/user_form.h"
#include "named_control.h"
#include "scripted_prompter.h"
#include "temp_env.h"

namespace tarn {
namespace {

using test::control;

using KeyboardTest = test::TempEnv;

TEST_F(KeyboardTest, EscapeClosesEveryDialogAsCancelWithoutAsking) {
    test::ScriptedPrompter prompter;
    TEditForm edit(prompter);
    TUserForm user(prompter);
    TGroupForm group(prompter);
    TAdminForm admin(prompter);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&edit, &user, &group, &admin}) {
        SCOPED_TRACE(dialog->metaObject()->className());
        dialog->show();
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
    }
    // The close box of the user editor is Cancel too.
    user.show();
    user.close();
    EXPECT_FALSE(user.isVisible());
    EXPECT_EQ(user.result(), QDialog::Rejected);
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front();
}

TEST_F(KeyboardTest, EnterInTheAdministrationWindowIsOkWhereverTheFocusIs) {
    test::ScriptedPrompter prompter;
    TAdminForm admin(prompter);
    admin.show();
    QTest::keyClick(control<QPushButton>(admin, "Passbtn"), Qt::Key_Return);
    EXPECT_FALSE(admin.isVisible());
    EXPECT_EQ(admin.result(), QDialog::Accepted);
}

TEST(EditFormTest, GivesBackTheTextAsTypedAndCancelKeepsTheInitialOne) {
    test::ScriptedPrompter prompter;
    for (const QString& typed : {QStringLiteral("  spaced  "), QString()}) {
        TEditForm form(prompter);
        form.setPrompt(QStringLiteral("Please change the selected URL.."));
        form.setText(QStringLiteral("old.example"));
        form.show();
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Tarnview"));
        EXPECT_EQ(control<QLabel>(form, "Label1")->text(),
                  QStringLiteral("Please change the selected URL.."));
        auto* edit = control<QLineEdit>(form, "Edit1");
        EXPECT_EQ(edit->text(), QStringLiteral("old.example"));
        edit->setText(typed);
        QTest::mouseClick(control<QPushButton>(form, "BitBtn2"), Qt::LeftButton);
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(form.text(), typed);
    }
    TEditForm form(prompter);
    form.setText(QStringLiteral("kept"));
    form.show();
    control<QLineEdit>(form, "Edit1")->setText(QStringLiteral("dropped"));
    QTest::mouseClick(control<QPushButton>(form, "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.text(), QStringLiteral("kept"));
}

TEST(EditFormTest, BrowseProposesThePatternAndTakesTheChosenFile) {
    test::ScriptedPrompter prompter;
    TEditForm form(prompter);
    form.setFilePattern(QStringLiteral("*.txt"));
    form.show();
    prompter.files = {"/srv/lists/blocked.txt"};
    QTest::mouseClick(control<QToolButton>(form, "SpeedButton1"), Qt::LeftButton);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].fileName, "*.txt");
    EXPECT_EQ(control<QLineEdit>(form, "Edit1")->text(), QStringLiteral("/srv/lists/blocked.txt"));

    // Cancelled, the box keeps its text; without a pattern no name is proposed.
    form.setFilePattern(QString());
    QTest::mouseClick(control<QToolButton>(form, "SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(prompter.asked[1].fileName, "");
    EXPECT_EQ(control<QLineEdit>(form, "Edit1")->text(), QStringLiteral("/srv/lists/blocked.txt"));
}

TEST(UserFormTest, ANewUserNeedsAnIdTheStoreCanHold) {
    test::ScriptedPrompter prompter;
    TUserForm form(prompter);
    form.setUser(QString(), {"Pupils", false, ""});
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Setup or Modify a User"));
    auto* id = control<QLineEdit>(form, "Edit1");
    EXPECT_TRUE(id->isEnabled());
    EXPECT_EQ(control<QLabel>(form, "Panel4")->text(), QStringLiteral("Pupils"));
    EXPECT_FALSE(control<QCheckBox>(form, "CheckBox1")->isChecked());
    auto* ok = control<QPushButton>(form, "BitBtn1");

    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(prompter.shown, std::vector<std::string>{"Please enter a valid user id.."});
    id->setText(QStringLiteral("ann\\bob"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(prompter.shown.back(), "A user id can not contain a backslash (\\)..");

    id->setText(QStringLiteral("ann"));
    control<QCheckBox>(form, "CheckBox1")->setChecked(true);
    control<QLineEdit>(form, "Edit2")->setText(QStringLiteral("secret"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.userId(), QStringLiteral("ann"));
    EXPECT_EQ(form.record(), (UserRecord{"Pupils", true, "secret"}));
}

TEST(UserFormTest, AnExistingUsersIdIsFixedAndCancelCopiesNothingBack) {
    test::ScriptedPrompter prompter;
    TUserForm form(prompter);
    form.setUser(QStringLiteral("ann"), {"Default Group", true, "pw"});
    form.show();
    EXPECT_FALSE(control<QLineEdit>(form, "Edit1")->isEnabled());
    EXPECT_EQ(control<QLineEdit>(form, "Edit2")->text(), QStringLiteral("pw"));
    control<QLineEdit>(form, "Edit2")->clear();
    QTest::mouseClick(control<QPushButton>(form, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(form.record().sUserPassword, "pw");
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace tarn
