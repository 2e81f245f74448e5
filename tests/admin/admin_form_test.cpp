#include "admin/admin_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <fstream>

#include "admin/admin_window_values.h"
#include "admin/edit_form.h"
#include "admin/group_form.h"
#include "admin/user_form.h"
#include "modal_answer.h"
#include "named_control.h"
#include "platform/paths.h"
#include "scripted_prompter.h"
#include "session/admin_password.h"
#include "session/new_pass_form.h"
#include "settings/admin_area.h"
#include "settings/day_record.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"
#include "settings/user_record.h"
#include "temp_env.h"

namespace tarn {
namespace {

class AdminFormTest : public test::TempEnv {
  protected:
    void open() {
        form = std::make_unique<TAdminForm>(prompter);
        form->show();
    }

    template <typename T>
    T* control(const char* name) {
        return test::control<T>(*form, name);
    }

    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }

    void select(const char* list, const QString& text) {
        auto* widget = control<QListWidget>(list);
        const auto found = widget->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        widget->setCurrentItem(found.front());
    }

    QStringList items(const char* list) {
        QStringList texts;
        auto* widget = control<QListWidget>(list);
        for (int i = 0; i < widget->count(); ++i)
            texts << widget->item(i)->text();
        return texts;
    }

    QStringList entries(const char* box) {
        QStringList texts;
        auto* model = control<QListView>(box)->model();
        for (int i = 0; i < model->rowCount(); ++i)
            texts << model->index(i, 0).data().toString();
        return texts;
    }

    // Clicks `button` and types `text` into the text entry dialog it opens.
    void enterText(const char* button, const QString& text, QString* prompt = nullptr) {
        test::ModalAnswer<TEditForm> answer([&](TEditForm& dialog) {
            if (prompt)
                *prompt = dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text();
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
            edit->setText(text);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2")),
                              Qt::LeftButton);
        });
        click(button);
        EXPECT_TRUE(answer.answered()) << button;
    }

    test::ScriptedPrompter prompter;
    std::unique_ptr<TAdminForm> form;
};

TEST_F(AdminFormTest, OpensOnTheDefaultsWithTheDefaultListsAndGroupCurrent) {
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarnview Administration"));
    EXPECT_TRUE(control<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("RadioButton3")->isChecked());
    EXPECT_EQ(control<QLineEdit>("Edit2")->text(), QStringLiteral("c:\\tarnview.log"));
    EXPECT_EQ(items("GroupLV"), QStringList{QStringLiteral("Default Group")});
    EXPECT_EQ(control<QGroupBox>("GroupBox16")->title(),
              QStringLiteral("Users in group: Default Group"));
    // Without groups only Edit is left of the group buttons.
    EXPECT_FALSE(control<QPushButton>("BitBtn15")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("BitBtn17")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("BitBtn27")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("BitBtn16")->isEnabled());
    EXPECT_EQ(items("IncludeLV"), QStringList{QStringLiteral("Default Inclusion List")});
    EXPECT_EQ(control<QLabel>("Panel10")->text(), QStringLiteral("Default Exclusion List"));
    EXPECT_TRUE(prompter.shown.empty());

    click("BitBtn3");
    auto* help = form->findChild<QWidget*>(QStringLiteral("HelpWindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Tarnview Administrator Help"));
}

TEST_F(AdminFormTest, AListEntrySurvivesCancelAndTheLoggingValuesAreStoredOnCancelToo) {
    open();
    QString prompt;
    enterText("BitBtn4", QStringLiteral("ads.example"), &prompt);
    EXPECT_EQ(prompt, QStringLiteral("Please enter the URL to add to the list.."));
    EXPECT_EQ(entries("ListBox2"), QStringList{QStringLiteral("ads.example")});
    control<QLineEdit>("Edit2")->setText(QStringLiteral("d:\\new.log"));
    click("BitBtn2");
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(loadListPart(ListFamily::URLExclusion, kDefaultExclusionList),
              std::vector<std::string>{"ads.example"});
    EXPECT_EQ(readAdminWindowValues().sLogFileLocation, "d:\\new.log");
}

TEST_F(AdminFormTest, ListEntriesAreEditedAndDeletedInTheStoreAsInTheBox) {
    saveListPart(ListFamily::WordExclusion, kDefaultExclusionList, {"alpha", "beta", "gamma"});
    open();
    auto* words = control<QListView>("ListBox1");
    words->setCurrentIndex(words->model()->index(0, 0));
    QString prompt;
    enterText("BitBtn8", QStringLiteral("delta"), &prompt);
    EXPECT_EQ(prompt, QStringLiteral("Please change the selected word.."));
    const QStringList edited{QStringLiteral("beta"), QStringLiteral("gamma"),
                             QStringLiteral("delta")};
    EXPECT_EQ(entries("ListBox1"), edited);
    words->setCurrentIndex(words->model()->index(1, 0));
    click("BitBtn9");
    EXPECT_EQ(loadListPart(ListFamily::WordExclusion, kDefaultExclusionList),
              (std::vector<std::string>{"beta", "delta"}));
    // Without a selection Edit and Delete do nothing.
    words->clearSelection();
    click("BitBtn9");
    EXPECT_EQ(entries("ListBox1").size(), 2);
}

TEST_F(AdminFormTest, ListsAreCreatedSelectedAndDeletedButTheDefaultStays) {
    open();
    enterText("BitBtn25", QStringLiteral("Pupils"));
    EXPECT_EQ(items("ExcludeLV"),
              (QStringList{QStringLiteral("Default Exclusion List"), QStringLiteral("Pupils")}));
    select("ExcludeLV", QStringLiteral("Pupils"));
    click("BitBtn24");
    EXPECT_EQ(control<QLabel>("Panel10")->text(), QStringLiteral("Pupils"));
    enterText("BitBtn7", QStringLiteral("games"));
    EXPECT_EQ(loadListPart(ListFamily::WordExclusion, "Pupils"), std::vector<std::string>{"games"});

    select("ExcludeLV", QStringLiteral("Default Exclusion List"));
    click("BitBtn26");
    EXPECT_EQ(items("ExcludeLV").size(), 2);
    select("ExcludeLV", QStringLiteral("Pupils"));
    click("BitBtn26");
    EXPECT_EQ(items("ExcludeLV"), QStringList{QStringLiteral("Default Exclusion List")});
    EXPECT_EQ(control<QLabel>("Panel10")->text(), QStringLiteral("Default Exclusion List"));
    EXPECT_TRUE(entries("ListBox1").isEmpty());
    EXPECT_TRUE(loadListPart(ListFamily::WordExclusion, "Pupils").empty());

    // A name the store could not hold as a key is refused before anything is written.
    enterText("BitBtn22", QStringLiteral("a\\b"));
    EXPECT_EQ(prompter.shown.back(), "A list name can not be empty or contain a backslash (\\)..");
    EXPECT_EQ(items("IncludeLV").size(), 1);
}

TEST_F(AdminFormTest, ANewPasswordIsKeptUntilTheWindowClosesAndACancelledOneChangesNothing) {
    open();
    const auto setPassword = [&](const char* typed, const char* button) {
        test::ModalAnswer<TNewPassForm> answer([&](TNewPassForm& dialog) {
            for (const char* edit : {"Edit2", "Edit3"})
                dialog.findChild<QLineEdit*>(QString::fromLatin1(edit))
                    ->setText(QString::fromLatin1(typed));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)),
                              Qt::LeftButton);
        });
        click("Passbtn");
        EXPECT_TRUE(answer.answered());
    };
    setPassword("first", "BitBtn1");
    EXPECT_EQ(readAdminWindowValues().sSecPass, "");
    setPassword("second", "BitBtn2");  // cancelled: the old password is asked for next time
    click("BitBtn1");
    EXPECT_EQ(readAdminWindowValues().sSecPass, HashAdminPassword("first"));
}

TEST_F(AdminFormTest, ForcedLogonNeedsAUserInTheDefaultGroupWhateverTheOtherGroupsHold) {
    writeUserRecord("Pupils", "ann", {"Pupils", false, ""});
    open();
    control<QCheckBox>("CheckBox6")->setChecked(true);
    click("BitBtn1");
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0],
              "You have indicated that you want user logon, however there must be at least 1 "
              "user entered in the \"Default Group\" in order to activate this option");
    EXPECT_FALSE(readAdminWindowValues().bUseLogon);

    writeUserRecord(kDefaultGroup, "bob", {kDefaultGroup, false, ""});
    click("BitBtn1");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(readAdminWindowValues().bUseLogon);
}

TEST_F(AdminFormTest, CancelSkipsTheLogonCheckButNeverLeavesLogonOnWithoutAUser) {
    // The record the program keeps the default user's minutes in can not sign on.
    openAdminKey(std::string(kGroupsKey) + "\\Default Group\\Users\\Default User")
        ->write_string("", "sUsageTime", "2026-12-11,5");
    open();
    control<QCheckBox>("CheckBox6")->setChecked(true);
    click("BitBtn2");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(prompter.shown, std::vector<std::string>{
                                  "User logon stays off: no user of \"Default Group\" can sign on "
                                  "yet. Add one, then switch user logon on."});
    EXPECT_FALSE(readAdminWindowValues().bUseLogon);

    writeUserRecord(kDefaultGroup, "bob", {kDefaultGroup, false, ""});
    open();
    control<QCheckBox>("CheckBox6")->setChecked(true);
    click("BitBtn2");
    EXPECT_TRUE(readAdminWindowValues().bUseLogon);
}

TEST_F(AdminFormTest, TheLastUserWhoCanSignOnStaysWhileLogonIsOn) {
    writeUserRecord(kDefaultGroup, "bob", {kDefaultGroup, false, ""});
    open();
    control<QCheckBox>("CheckBox6")->setChecked(true);
    select("UserLV", QStringLiteral("bob"));
    prompter.answers = {true};
    click("BitBtn20");
    EXPECT_EQ(prompter.shown.back(),
              "This is the last user of \"Default Group\" who can sign on, and user logon is on: "
              "nobody could sign on without them. Add another user first, or switch user logon "
              "off.");
    EXPECT_EQ(items("UserLV"), QStringList{QStringLiteral("bob")});
    EXPECT_EQ(listUsers(kDefaultGroup), std::vector<std::string>{"bob"});

    control<QCheckBox>("CheckBox6")->setChecked(false);
    prompter.answers = {true};
    click("BitBtn20");
    EXPECT_TRUE(items("UserLV").isEmpty());
}

TEST_F(AdminFormTest, TheMachineHiveChosenOnOkTakesTheValues) {
    open();
    control<QRadioButton>("RadioButton2")->setChecked(true);
    control<QLineEdit>("Edit1")->setText(QStringLiteral("kiosk"));
    click("BitBtn1");
    EXPECT_FALSE(form->isVisible());
    SettingsStore machine(kTarnviewRoot);
    machine.set_root(Hive::LocalMachine);
    ASSERT_TRUE(machine.open_key(kAdminKey, false));
    EXPECT_EQ(machine.read_string("", "sUserId", ""), "kiosk");
    EXPECT_EQ(SettingsStore(kConfigKey).read_string("", "iUserSet", ""), "1");

    open();
    EXPECT_TRUE(control<QRadioButton>("RadioButton2")->isChecked());
    EXPECT_EQ(control<QLineEdit>("Edit1")->text(), QStringLiteral("kiosk"));
}

TEST_F(AdminFormTest, AHiveThatCanNotBeWrittenSaysSoAndTheWindowStaysUsable) {
    SettingsStore(kConfigKey).write_string("", "iUserSet", "1");
    setenv("TARNVIEW_MACHINE_HIVE", "/proc/tarnview-none/machine.hive", 1);
    open();
    prompter.shown.clear();
    enterText("BitBtn4", QStringLiteral("ads.example"));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Failed to set data for 'ads.example'");
    EXPECT_TRUE(entries("ListBox2").isEmpty());
    EXPECT_TRUE(form->isVisible());

    // OK can not store the values: the window stays open for the other hive to be chosen.
    click("BitBtn1");
    EXPECT_TRUE(form->isVisible());
    control<QRadioButton>("RadioButton1")->setChecked(true);
    click("BitBtn1");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(SettingsStore(kConfigKey).read_string("", "iUserSet", ""), "0");
}

TEST_F(AdminFormTest, ResetUsageEmptiesTheUsageOrSaysTheUserWasNotFound) {
    writeUserRecord(kDefaultGroup, "ann", {kDefaultGroup, false, ""});
    writeUserDayMinutes(kDefaultGroup, "ann", DayRecord::Usage, "2001-03-17", 45);
    open();
    select("UserLV", QStringLiteral("ann"));
    prompter.answers = {true};
    click("BitBtn31");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Reset Daily Usage for user: ann of Group: Default Group?");
    EXPECT_EQ(readUserDayCount(kDefaultGroup, "ann", DayRecord::Usage, "2001-03-17").minutes, 0);

    // Gone behind the window's back, the group's Users key is not made again.
    deleteGroup(kDefaultGroup);
    prompter.answers = {true};
    click("BitBtn31");
    EXPECT_EQ(prompter.shown.back(), "User: ann of Group: Default Group not found..");
    EXPECT_TRUE(listGroups() == std::vector<std::string>{kDefaultGroup});
}

TEST_F(AdminFormTest, EditingAUserWithoutFlagOrGroupShowsAndStoresTheDefaults) {
    SettingsStore users(std::string(kGroupsKey) + "\\Pupils\\Users\\ann");
    users.write_string("", "sUserPassword", "");
    SettingsStore(kAdminKey).write_string("", "bUseGroups", "1");
    open();
    select("GroupLV", QStringLiteral("Pupils"));
    click("BitBtn27");
    select("UserLV", QStringLiteral("ann"));
    test::ModalAnswer<TUserForm> edit([](TUserForm& dialog) {
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Panel4"))->text(),
                  QStringLiteral("Default Group"));
        EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->isChecked());
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1")),
                          Qt::LeftButton);
    });
    click("BitBtn19");
    ASSERT_TRUE(edit.answered());
    EXPECT_EQ(readUserRecord("Pupils", "ann"), (UserRecord{"Default Group", true, ""}));
    EXPECT_EQ(users.read_string("", "sUserGroup", "<none>"), "Default Group");
}

TEST_F(AdminFormTest, UsersAreAddedToTheCurrentGroupAndGroupsDeletedAfterAsking) {
    writeGroupRecord("Pupils", editorGroupDefaults());
    SettingsStore(kAdminKey).write_string("", "bUseGroups", "1");
    open();
    EXPECT_EQ(items("GroupLV"),
              (QStringList{QStringLiteral("Default Group"), QStringLiteral("Pupils")}));
    select("GroupLV", QStringLiteral("Pupils"));
    click("BitBtn27");
    EXPECT_EQ(control<QLabel>("Panel11")->text(), QStringLiteral("Pupils"));

    test::ModalAnswer<TUserForm> add([](TUserForm& dialog) {
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Panel4"))->text(),
                  QStringLiteral("Pupils"));
        EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->isChecked());
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("cat"));
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("pw"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1")),
                          Qt::LeftButton);
    });
    click("BitBtn18");
    ASSERT_TRUE(add.answered());
    EXPECT_EQ(items("UserLV"), QStringList{QStringLiteral("cat")});
    EXPECT_EQ(readUserRecord("Pupils", "cat"), (UserRecord{"Pupils", false, "pw"}));

    select("GroupLV", QStringLiteral("Default Group"));
    click("BitBtn17");
    EXPECT_EQ(prompter.shown.back(), "You cannot delete the default group");
    select("GroupLV", QStringLiteral("Pupils"));
    click("BitBtn17");  // answered No
    EXPECT_EQ(prompter.shown.back(), "Deleting a group may orphan users on this group, continue?");
    EXPECT_EQ(items("GroupLV").size(), 2);
    prompter.answers = {true};
    click("BitBtn17");
    EXPECT_EQ(items("GroupLV"), QStringList{QStringLiteral("Default Group")});
    EXPECT_EQ(listGroups(), std::vector<std::string>{"Default Group"});
}

TEST_F(AdminFormTest, TheGroupEditorAddsAGroupAndEditsTheDefaultOneInEitherMode) {
    open();
    // Without groups the default group can still be edited.
    select("GroupLV", QStringLiteral("Default Group"));
    test::ModalAnswer<TGroupForm> edit([](TGroupForm& dialog) {
        auto* id = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        EXPECT_EQ(id->text(), QStringLiteral("Default Group"));
        EXPECT_FALSE(id->isEnabled());
        dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox7"))->setChecked(false);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1")),
                          Qt::LeftButton);
    });
    click("BitBtn16");
    ASSERT_TRUE(edit.answered());
    EXPECT_FALSE(readGroupForEditor(kDefaultGroup).bGroupAllowClose);

    control<QRadioButton>("RadioButton4")->click();
    EXPECT_TRUE(control<QPushButton>("BitBtn15")->isEnabled());
    test::ModalAnswer<TGroupForm> add([](TGroupForm& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("Staff"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1")),
                          Qt::LeftButton);
    });
    click("BitBtn15");
    ASSERT_TRUE(add.answered());
    EXPECT_EQ(items("GroupLV"),
              (QStringList{QStringLiteral("Default Group"), QStringLiteral("Staff")}));
    EXPECT_EQ(readGroupForEditor("Staff"), editorGroupDefaults());
}

TEST_F(AdminFormTest, ReadLogFileShowsTheNewestPartOfALargeLogAndClearDeletesIt) {
    const std::filesystem::path log = mapPathOnDrive("c:\\tarnview.log");
    {
        std::ofstream out(log);
        for (int line = 0; line < 200'000; ++line)
            out << "2001-03-17 12:00:00 line " << line << '\n';
    }
    open();
    click("BitBtn13");
    const QString shown = control<QPlainTextEdit>("RichEdit1")->toPlainText();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("line 199999\n"))) << shown.right(40).toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("2001-03-17")));
    EXPECT_LE(shown.size(), 1 << 20);
    EXPECT_TRUE(control<QLabel>("Label5")->text().contains(QStringLiteral("newest")));

    click("BitBtn14");  // answered No
    EXPECT_TRUE(std::filesystem::exists(log));
    prompter.answers = {true};
    click("BitBtn14");
    EXPECT_EQ(prompter.shown.back(), "Are you sure you want to clear the log?");
    EXPECT_FALSE(std::filesystem::exists(log));
    EXPECT_TRUE(control<QPlainTextEdit>("RichEdit1")->toPlainText().isEmpty());
    click("BitBtn13");  // no log: nothing happens
    EXPECT_EQ(prompter.shown.size(), 2u);
}

}  // namespace
}  // namespace tarn
