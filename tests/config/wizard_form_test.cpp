// The setup wizard's window: its pages and buttons, the favourites folder question, and what
// Finish, Cancel, Escape and the close box store.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "config/dir_list_pop.h"
#include "config/wizard_form.h"
#include "modal_answer.h"
#include "named_control.h"
#include "platform/paths.h"
#include "qt_wait.h"
#include "scripted_prompter.h"
#include "settings/password_scramble.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "temp_env.h"

namespace tarn {
namespace {

using test::control;

class WizardFormTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        // The drive letters are those mapped when the window is made.
        std::filesystem::create_directories(mapPath("c:\\"));
        wizard = std::make_unique<TWizardForm>(prompter, QStringLiteral("1.10"));
        wizard->show();
        wizard->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    }
    void TearDown() override {
        wizard.reset();
        TempEnv::TearDown();
    }
    template <typename T>
    T* at(const char* name) {
        return control<T>(*wizard, name);
    }
    void click(const char* name) { at<QAbstractButton>(name)->click(); }
    int page() { return at<QStackedWidget>("Pages")->currentIndex() + 1; }
    // Leaves the favourites folder box as the Tab key would, or for another window.
    void leaveFolderBox(Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(at<QLineEdit>("Edit1"), &out);
    }
    // Walks to the favourites folder page, saying Yes to sign-on when asked to.
    void toFolderPage(bool signOn) {
        click("OkButton");
        if (signOn)
            click("RadioGroup1Yes");
        click("NextButton");
        click("NextButton");
        ASSERT_EQ(page(), 4);
    }
    static std::string stored(const std::string& section, const char* name) {
        return SettingsStore(kTarnviewRoot).read_string(section, name, "<absent>");
    }

    test::ScriptedPrompter prompter;
    std::unique_ptr<TWizardForm> wizard;
};

TEST_F(WizardFormTest, TheButtonsFollowThePagesAndFinishStoresTheAnswers) {
    EXPECT_EQ(page(), 1);
    EXPECT_FALSE(at<QPushButton>("PrevButton")->isEnabled());
    EXPECT_FALSE(at<QPushButton>("NextButton")->isEnabled());
    EXPECT_EQ(at<QPushButton>("OkButton")->text(), QStringLiteral("&Continue"));
    QTest::keyClick(wizard.get(), Qt::Key_Return);
    EXPECT_EQ(page(), 2) << "Enter is Continue";
    EXPECT_FALSE(at<QPushButton>("OkButton")->isEnabled());

    // The keyboard answers: the focus is on the question, the arrows choose, Enter is Next. The
    // groups question opens with Yes to sign-on and stays open after a No.
    EXPECT_EQ(wizard->focusWidget(), at<QRadioButton>("RadioGroup1No"));
    EXPECT_FALSE(at<QGroupBox>("RadioGroup2")->isEnabled());
    QTest::keyClick(at<QRadioButton>("RadioGroup1No"), Qt::Key_Left);
    EXPECT_TRUE(at<QRadioButton>("RadioGroup1Yes")->isChecked());
    EXPECT_TRUE(at<QGroupBox>("RadioGroup2")->isEnabled());
    click("RadioGroup1No");
    EXPECT_TRUE(at<QGroupBox>("RadioGroup2")->isEnabled());
    click("RadioGroup1Yes");
    click("RadioGroup2Yes");
    QTest::keyClick(at<QRadioButton>("RadioGroup2Yes"), Qt::Key_Return);
    ASSERT_EQ(page(), 3);

    EXPECT_FALSE(at<QLabel>("Label8")->isVisible());
    click("RadioGroup3Yes");
    EXPECT_TRUE(at<QLabel>("Label8")->isVisible()) << "where the machine's settings go";
    click("NextButton");
    EXPECT_EQ(at<QLineEdit>("Edit1")->text(), QStringLiteral("c:\\tarnview"));
    std::filesystem::create_directories(mapPath("d:\\favourites"));
    at<QLineEdit>("Edit1")->setText(QStringLiteral("d:\\favourites"));
    leaveFolderBox();
    EXPECT_TRUE(prompter.shown.empty()) << "the folder is there: no question";
    click("NextButton");

    // The user page keeps the window until its answers pass.
    ASSERT_EQ(page(), 5);
    at<QLineEdit>("Edit2")->setText(QStringLiteral("ann"));
    at<QLineEdit>("Edit3")->setText(QStringLiteral("Secret"));
    at<QLineEdit>("Edit4")->setText(QStringLiteral("secret"));
    click("NextButton");
    EXPECT_EQ(page(), 5);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "Password confirmation failed, try again..");
    EXPECT_TRUE(at<QLineEdit>("Edit4")->text().isEmpty());
    EXPECT_EQ(at<QLineEdit>("Edit3")->text(), QStringLiteral("Secret"));
    at<QLineEdit>("Edit4")->setText(QStringLiteral("Secret"));
    click("NextButton");

    EXPECT_EQ(page(), 6);
    EXPECT_EQ(at<QPushButton>("OkButton")->text(), QStringLiteral("&Finish"));
    EXPECT_FALSE(at<QPushButton>("NextButton")->isEnabled());
    QTest::keyClick(at<QPushButton>("PrevButton"), Qt::Key_Return);
    EXPECT_EQ(wizard->result(), QDialog::Accepted) << "Enter is Finish wherever the focus is";
    EXPECT_FALSE(wizard->isVisible());

    SettingsStore machine(kTarnviewRoot);
    machine.set_root(Hive::LocalMachine);
    machine.close_key();
    ASSERT_TRUE(machine.open_key(kTarnviewRoot, false));
    EXPECT_TRUE(machine.read_bool("Admin", "bUseLogon", false));
    EXPECT_TRUE(machine.read_bool("Admin", "bUseGroups", false));
    const std::string group = "Admin\\Groups\\Default Group";
    EXPECT_EQ(machine.read_string(group, "sGroupFavDir", ""), "d:\\favourites");
    EXPECT_EQ(unscramblePassword(machine.read_string(group + "\\Users\\ann", "sUserPassword", "")),
              "Secret");
    EXPECT_EQ(stored("Config", "sInstalledVersion"), "1.10");
    EXPECT_EQ(stored("Config", "iUserSet"), "1");
}

TEST_F(WizardFormTest, AMissingFavouritesFolderIsMadeOnlyWhenThePersonSaysYes) {
    toFolderPage(false);
    const std::filesystem::path folder = mapPath("c:\\tarnview");
    leaveFolderBox(Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(prompter.shown.empty()) << "another window came up: the box was not left";
    prompter.answers = {false};
    leaveFolderBox();
    ASSERT_EQ(prompter.shown, std::vector<std::string>{"Folder does not exist, create it now?"});
    EXPECT_FALSE(std::filesystem::exists(folder));

    prompter.answers = {true};
    leaveFolderBox();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(prompter.shown.size(), 2u);

    // A file where the folder would go: said, and the wizard goes on.
    test::writeFile(mapPath("c:\\taken"), "a file");
    at<QLineEdit>("Edit1")->setText(QStringLiteral("c:\\taken\\favourites"));
    prompter.answers = {true};
    leaveFolderBox();
    ASSERT_EQ(prompter.shown.size(), 4u);
    EXPECT_EQ(prompter.shown[3].rfind("The folder c:\\taken\\favourites could not be created: ", 0),
              0u)
        << prompter.shown[3];
    click("NextButton");
    EXPECT_EQ(page(), 6) << "no sign-on: the user page is skipped";
}

TEST_F(WizardFormTest, TheFolderButtonPicksAnExistingFolderFromWhereTheBoxPoints) {
    std::filesystem::create_directories(mapPath("c:\\tarnview\\Kids"));
    toFolderPage(false);
    at<QLineEdit>("Edit1")->setText(QStringLiteral("c:\\tarnview\\new"));
    QString startedAt;
    test::ModalAnswer<TDirListPop> picker([&](TDirListPop& dialog) {
        startedAt = control<QLabel>(dialog, "Label1")->text();
        dialog.setFolder(QStringLiteral("c:\\tarnview\\Kids"));
        QTest::mouseClick(control<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
    });
    QTest::mouseClick(at<QToolButton>("SpeedButton1"), Qt::LeftButton);
    EXPECT_TRUE(picker.answered());
    EXPECT_EQ(startedAt, QStringLiteral("c:\\tarnview"));
    EXPECT_EQ(at<QLineEdit>("Edit1")->text(), QStringLiteral("c:\\tarnview\\Kids"));
}

TEST_F(WizardFormTest, CancelAndEscapeStoreOnlyTheVersionAndTheCloseBoxNothing) {
    for (const char* way : {"Cancel", "Escape", "close box"}) {
        SCOPED_TRACE(way);
        SettingsStore(kTarnviewRoot).delete_value("Config", "sInstalledVersion");
        wizard->show();
        toFolderPage(true);
        if (std::string(way) == "Cancel")
            click("CancelButton");
        else if (std::string(way) == "Escape")
            QTest::keyClick(wizard.get(), Qt::Key_Escape);
        else
            wizard->close();
        EXPECT_FALSE(wizard->isVisible());
        EXPECT_EQ(wizard->result(), QDialog::Rejected);
        EXPECT_EQ(stored("Config", "sInstalledVersion"),
                  std::string(way) == "close box" ? "<absent>" : "1.10");
        EXPECT_EQ(stored("Admin", "bUseLogon"), "<absent>") << "Yes to sign-on is not stored";
    }
}

TEST_F(WizardFormTest, AFinishTheStoreRefusesSaysWhyAndKeepsTheWizardOpen) {
    std::filesystem::create_directories(machineHive);  // a folder where the machine's file goes
    std::filesystem::create_directories(mapPath("c:\\tarnview"));  // no folder question
    toFolderPage(false);
    click("PrevButton");
    click("RadioGroup3Yes");
    click("NextButton");
    click("NextButton");
    ASSERT_EQ(page(), 6);
    click("OkButton");
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].find(machineHive.string()), std::string::npos) << prompter.shown[0];
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(page(), 6);
    EXPECT_EQ(stored("Config", "sInstalledVersion"), "<absent>");
    EXPECT_EQ(stored("Admin", "bUseLogon"), "<absent>");

    click("PrevButton");
    click("RadioGroup3No");
    click("NextButton");
    click("OkButton");
    EXPECT_EQ(wizard->result(), QDialog::Accepted) << "with another answer Finish goes through";
    EXPECT_EQ(stored("Admin", "bUseLogon"), "0");
}

}  // namespace
}  // namespace tarn
