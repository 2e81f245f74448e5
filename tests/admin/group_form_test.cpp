#include "admin/group_form.h"

#include <gmock/gmock.h>
#include <stdlib.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "qt_wait.h"
#include "scripted_prompter.h"
#include "settings/site_lists.h"
#include "temp_env.h"

namespace fs = std::filesystem;

namespace tarn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A record in which every value differs from the editor defaults.
GroupRecord everyValueChanged() {
    GroupRecord r;
    r.bGroupUseExcl = true;
    r.sGroupExclList = "Teen sites";
    r.bGroupUseIncl = true;
    r.sGroupInclList = "Homework";
    r.sGroupFavDir = "d:\\pupils";
    r.bGroupAllowAdmin = false;
    r.bGroupAllowConfig = false;
    r.bGroupAllowClose = false;
    r.iGroupMaxUsage = 1439;
    r.iGroupMaxTime = 720;
    r.bGroupExtFlag = true;
    r.iGroupExtMins = 60;
    r.bGroupInactFlag = true;
    r.iGroupInactMins = 600;
    r.iStartDialParam = 2;
    r.bDisconnectOnClose = false;
    r.bGroupAOLFlag = true;
    r.bGroupRASFlag = true;
    r.sAOLprogram = "c:\\aol\\waol.exe";
    r.sAOLUserName = "screen name";
    r.sAOLPassword = "aol sécret";
    r.iAOLconnected = 1;
    r.sRASEntry = "School line";
    r.sRASUserName = "dialer";
    r.sRASPassword = "ras secret";
    r.bGroupAllowMailLinks = false;
    r.bGroupAllowMailMenu = false;
    r.bGroupAllowReadMail = false;
    r.sGroupReadMailProgram = "/usr/bin/mutt";
    r.configChoice = {1, true};
    return r;
}

class GroupFormTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        // Never the developer's own dial-up library.
        setenv("TARNVIEW_RAS_LIBRARY", (root / "missing.so").c_str(), 1);
        drive = dataHome / "tarnview" / "c";
        form = std::make_unique<TGroupForm>(prompter);
    }
    void TearDown() override {
        form.reset();
        unsetenv("TARNVIEW_RAS_LIBRARY");
        unsetenv("TARNVIEW_RAS_PHONEBOOK");
        TempEnv::TearDown();
    }

    void show(const QString& id, const GroupRecord& record) {
        form->setGroup(id, record);
        form->show();
    }
    template <typename Widget>
    Widget* child(const char* name) const {
        auto* widget = form->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    bool checked(const char* name) const { return child<QAbstractButton>(name)->isChecked(); }
    QString textOf(const char* name) const { return child<QLineEdit>(name)->text(); }
    void setText(const char* name, const char* text) {
        child<QLineEdit>(name)->setText(QString::fromUtf8(text));
    }
    void click(const char* name) { child<QAbstractButton>(name)->click(); }
    std::vector<std::string> items(const char* name) const {
        std::vector<std::string> names;
        auto* combo = child<QComboBox>(name);
        for (int i = 0; i < combo->count(); ++i)
            names.push_back(combo->itemText(i).toStdString());
        return names;
    }

    test::ScriptedPrompter prompter;
    std::unique_ptr<TGroupForm> form;
    fs::path drive;
};

TEST_F(GroupFormTest, ShowsItsPagesAndControls) {
    show({}, editorGroupDefaults());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Setup or Modify a Group"));
    auto* pages = child<QTabWidget>("PageControl1");
    std::vector<std::string> titles;
    for (int i = 0; i < pages->count(); ++i)
        titles.push_back(pages->tabText(i).toStdString());
    EXPECT_THAT(titles, ElementsAre("Settings", "&Usage", "Connection", "America Online",
                                    "Dialup RAS", "Email"));

    struct Range {
        const char* spin;
        int minimum;
        int maximum;
    };
    for (const Range& range : {Range{"SpinEdit2", 0, 1439}, Range{"SpinEdit1", 0, 720},
                               Range{"SpinEdit13", 1, 60}, Range{"SpinEdit12", 1, 600}}) {
        auto* spin = child<QSpinBox>(range.spin);
        EXPECT_EQ(spin->minimum(), range.minimum) << range.spin;
        EXPECT_EQ(spin->maximum(), range.maximum) << range.spin;
    }
    struct Caption {
        const char* control;
        const char* text;
    };
    for (const Caption& caption : {
             Caption{"CheckBox3", "Use URL exclusion list:"},
             Caption{"CheckBox4", "Use URL inclusion list:"},
             Caption{"CheckBox5", "Allow entry to administration form"},
             Caption{"CheckBox6", "Allow entry to configuration form"},
             Caption{"CheckBox7", "Allow users to close Tarnview"},
             Caption{"CheckBox19", "Give single extension of"},
             Caption{"CheckBox20", "Disconnect AOL\\RAS after minutes of inactivity:"},
             Caption{"CheckBox1", "Allow use of America Online connection"},
             Caption{"CheckBox2", "Allow use of RAS dialup connection"},
             Caption{"CheckBox10", "When Tarnview is closed"},
             Caption{"CheckBox9", "Allow messages to be read from the Tarnview Mail menu"},
             Caption{"CheckBox12", "Allow messages to be sent from a mail link on a page"},
             Caption{"CheckBox13", "Allow messages to be sent from the Tarnview Mail menu"},
             Caption{"BitBtn1", "OK"},
             Caption{"BitBtn2", "Cancel"},
         }) {
        EXPECT_EQ(child<QAbstractButton>(caption.control)->text(), QString::fromUtf8(caption.text))
            << caption.control;
    }
    EXPECT_EQ(child<QGroupBox>("RadioGroup2")->title(), QStringLiteral("When to dial"));
    EXPECT_EQ(child<QGroupBox>("RadioGroup3")->title(), QStringLiteral("Once AOL is Connected"));
    EXPECT_EQ(child<QRadioButton>("HideAol")->text(),
              QStringLiteral("Hide AOL (can not be accessed)"));
    EXPECT_TRUE(child<QPushButton>("BitBtn1")->isDefault());
    EXPECT_EQ(child<QLineEdit>("Edit10")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(child<QLineEdit>("Edit7")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(child<QComboBox>("ComboBox1")->isEditable());
    EXPECT_TRUE(child<QComboBox>("ComboBox2")->isEditable());
    EXPECT_FALSE(child<QComboBox>("EntryNameComboBox")->isEditable());
    EXPECT_EQ(child<QToolButton>("SpeedButton3")->toolTip(),
              QStringLiteral("Search for WAOL.EXE on your disk"));
}

TEST_F(GroupFormTest, NewGroupShowsTheEditorDefaults) {
    show({}, editorGroupDefaults());
    EXPECT_TRUE(child<QLineEdit>("Edit1")->isEnabled());
    EXPECT_EQ(textOf("Edit1"), QString());
    EXPECT_EQ(textOf("Edit2"), QStringLiteral("c:\\tarnview"));
    EXPECT_FALSE(checked("CheckBox1"));
    EXPECT_FALSE(checked("CheckBox2"));
    EXPECT_TRUE(checked("DialOnConnectButton"));
    EXPECT_TRUE(checked("CheckBox10"));
    EXPECT_FALSE(checked("CheckBox19"));
    EXPECT_EQ(child<QSpinBox>("SpinEdit13")->value(), 5);
    EXPECT_FALSE(checked("CheckBox20"));
    EXPECT_EQ(child<QSpinBox>("SpinEdit12")->value(), 15);
    for (const char* allowed :
         {"CheckBox5", "CheckBox6", "CheckBox7", "CheckBox9", "CheckBox12", "CheckBox13"})
        EXPECT_TRUE(checked(allowed)) << allowed;
    EXPECT_TRUE(checked("MinimizeAol"));
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentText(), QString());
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentText(), QString());
}

TEST_F(GroupFormTest, EditingShowsTheIdGreyedAndListNamesThatAreGone) {
    createExclusionList("Kids");
    createInclusionList("Safe");
    GroupRecord record = editorGroupDefaults();
    record.sGroupExclList = "Gone";
    record.sGroupInclList = "Vanished";
    show(QStringLiteral("Pupils"), record);
    EXPECT_FALSE(child<QLineEdit>("Edit1")->isEnabled());
    EXPECT_EQ(textOf("Edit1"), QStringLiteral("Pupils"));
    EXPECT_THAT(items("ComboBox1"), ElementsAre("Kids"));
    EXPECT_EQ(child<QComboBox>("ComboBox1")->currentText(), QStringLiteral("Gone"));
    EXPECT_THAT(items("ComboBox2"), ElementsAre("Safe"));
    EXPECT_EQ(child<QComboBox>("ComboBox2")->currentText(), QStringLiteral("Vanished"));
}

TEST_F(GroupFormTest, ExclusionNamesFallBackToFilePartsThenWordParts) {
    saveListPart(ListFamily::WordExclusion, "Words only", {"poker"});
    show({}, editorGroupDefaults());
    EXPECT_THAT(items("ComboBox1"), ElementsAre("Words only"));
    form->hide();

    saveListPart(ListFamily::URLExclIni, "From files", {"c:\\lists\\bad.txt"});
    form->show();
    EXPECT_THAT(items("ComboBox1"), ElementsAre("From files"));
    EXPECT_THAT(items("ComboBox2"), IsEmpty());
}

TEST_F(GroupFormTest, EveryFieldComesBackFromItsControl) {
    const GroupRecord record = everyValueChanged();
    show(QStringLiteral("Staff"), record);
    // Handing the dialog other values after it has shown changes no control, so what OK gives
    // back can only have come from the controls.
    form->setGroup(QStringLiteral("Staff"), editorGroupDefaults());
    click("BitBtn1");
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->isVisible());
    GroupRecord expected = record;
    expected.configChoice = editorGroupDefaults().configChoice;
    EXPECT_EQ(form->record(), expected);
    EXPECT_EQ(form->groupId(), QStringLiteral("Staff"));
    EXPECT_THAT(prompter.shown, IsEmpty());
}

TEST_F(GroupFormTest, OkKeepsWhatTheDialogDoesNotShowAndTakesTypedNames) {
    GroupRecord record = everyValueChanged();
    show({}, record);
    setText("Edit1", "New group");
    child<QComboBox>("ComboBox1")->setEditText(QStringLiteral("Typed list"));
    click("BitBtn1");
    ASSERT_EQ(form->result(), QDialog::Accepted);
    record.sGroupExclList = "Typed list";
    EXPECT_EQ(form->record(), record);
    EXPECT_EQ(form->groupId(), QStringLiteral("New group"));
}

TEST_F(GroupFormTest, AnIdTheStoreWouldRefuseKeepsTheDialogOpen) {
    show({}, editorGroupDefaults());
    click("BitBtn1");
    EXPECT_TRUE(form->isVisible());
    setText("Edit1", "Staff\\Nested");
    click("BitBtn1");
    EXPECT_TRUE(form->isVisible());
    form->close();  // the window frame goes through the same check
    EXPECT_TRUE(form->isVisible());
    EXPECT_THAT(prompter.shown, ElementsAre("Please enter a valid group id..",
                                            "A group id can not contain a backslash (\\)..",
                                            "A group id can not contain a backslash (\\).."));
    EXPECT_EQ(form->groupId(), QString());

    setText("Edit1", "Staff");
    click("BitBtn1");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->groupId(), QStringLiteral("Staff"));
}

TEST_F(GroupFormTest, CancelAndEscapeCopyNothingBack) {
    for (const bool escape : {false, true}) {
        const GroupRecord record = everyValueChanged();
        show({}, record);
        setText("Edit1", "Staff");
        setText("Edit9", "changed");
        if (escape)
            QTest::keyClick(form.get(), Qt::Key_Escape);
        else
            click("BitBtn2");
        EXPECT_FALSE(form->isVisible()) << escape;
        EXPECT_EQ(form->result(), QDialog::Rejected) << escape;
        EXPECT_EQ(form->record(), record) << escape;
        EXPECT_EQ(form->groupId(), QString()) << escape;
    }
    EXPECT_THAT(prompter.shown, IsEmpty());
}

TEST_F(GroupFormTest, TheWindowFrameCopiesBackButAnswersCancel) {
    show({}, editorGroupDefaults());
    setText("Edit1", "Staff");
    setText("Edit9", "screen name");
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(form->groupId(), QStringLiteral("Staff"));
    EXPECT_EQ(form->record().sAOLUserName, "screen name");
}

TEST_F(GroupFormTest, BrowsingFillsOnlyTheFieldBesideTheButton) {
    GroupRecord record = editorGroupDefaults();
    record.sAOLprogram = "c:\\old\\waol.exe";
    record.sGroupReadMailProgram = "/usr/bin/old-reader";
    show({}, record);
    prompter.files = {"/opt/aol/waol.exe", "/usr/bin/mutt"};
    click("SpeedButton1");
    EXPECT_EQ(textOf("Edit8"), QStringLiteral("/opt/aol/waol.exe"));
    EXPECT_EQ(textOf("Edit3"), QStringLiteral("/usr/bin/old-reader"));
    click("SpeedButton2");
    EXPECT_EQ(textOf("Edit3"), QStringLiteral("/usr/bin/mutt"));
    EXPECT_EQ(textOf("Edit8"), QStringLiteral("/opt/aol/waol.exe"));
    click("SpeedButton1");  // cancelled: the field stays
    EXPECT_EQ(textOf("Edit8"), QStringLiteral("/opt/aol/waol.exe"));
    ASSERT_EQ(prompter.asked.size(), 3u);
    for (const FileQuestion& question : prompter.asked)
        EXPECT_EQ(question.fileName, "*.exe");
}

TEST_F(GroupFormTest, PhonebookEntriesComeFromTheDialUpLibrary) {
    const fs::path phonebook = root / "phonebook.txt";
    test::writeFile(phonebook, "# entries\nSchool\nHome;delay=10\n");
    setenv("TARNVIEW_RAS_LIBRARY", TARN_RAS_SIMULATOR, 1);
    setenv("TARNVIEW_RAS_PHONEBOOK", phonebook.c_str(), 1);
    show({}, editorGroupDefaults());
    EXPECT_THAT(items("EntryNameComboBox"), ElementsAre("School", "Home"));
    auto* combo = child<QComboBox>("EntryNameComboBox");
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(textOf("Edit5"), QStringLiteral("Home"));
    form->hide();

    // Seventeen entries do not fit the room the list is read with.
    std::string many;
    for (int i = 1; i <= 17; ++i)
        many += "Line " + std::to_string(i) + "\n";
    test::writeFile(phonebook, many);
    form->show();
    EXPECT_THAT(items("EntryNameComboBox"), IsEmpty());
    EXPECT_THAT(prompter.shown, IsEmpty());
}

TEST_F(GroupFormTest, WithoutTheDialUpLibraryThePhonebookIsEmptyAndTheRestWorks) {
    show({}, editorGroupDefaults());
    EXPECT_THAT(items("EntryNameComboBox"), IsEmpty());
    setText("Edit1", "Staff");
    setText("Edit5", "Typed entry");
    click("BitBtn1");
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->record().sRASEntry, "Typed entry");
    EXPECT_THAT(prompter.shown, IsEmpty());
}

TEST_F(GroupFormTest, SearchFindsTheClientBelowTheMappedDrive) {
    test::writeFile(drive / "Programs" / "AOL" / "waol.exe", "client");
    show({}, editorGroupDefaults());
    click("SpeedButton3");
    auto* status = child<QLabel>("Panel5");
    ASSERT_TRUE(test::waitUntil([&] {
        return status->text() == QStringLiteral("search complete");
    })) << status->text().toStdString();
    EXPECT_EQ(textOf("Edit8"), QStringLiteral("c:\\Programs\\AOL\\waol.exe"));
    EXPECT_FALSE(checked("SpeedButton3"));
}

TEST_F(GroupFormTest, SearchThatFindsNothingLeavesTheFieldAlone) {
    test::writeFile(drive / "waol.exe", "client");  // the drive's own folder is not looked in
    GroupRecord record = editorGroupDefaults();
    record.sAOLprogram = "c:\\old\\waol.exe";
    show({}, record);
    click("SpeedButton3");
    auto* status = child<QLabel>("Panel5");
    ASSERT_TRUE(test::waitUntil([&] {
        return status->text() == QStringLiteral("waol.exe not found");
    })) << status->text().toStdString();
    EXPECT_EQ(textOf("Edit8"), QStringLiteral("c:\\old\\waol.exe"));
}

// Each way of ending a search before its result is shown leaves the field as it was, with no
// thread left behind; the result only ever reaches the window through its event loop.
TEST_F(GroupFormTest, EndingARunningSearchDropsItsResult) {
    test::writeFile(drive / "Programs" / "AOL" / "waol.exe", "client");
    GroupRecord record = editorGroupDefaults();
    record.sAOLprogram = "c:\\old\\waol.exe";

    show({}, record);
    click("SpeedButton3");
    click("SpeedButton3");  // the second click cancels
    EXPECT_FALSE(checked("SpeedButton3"));
    QTest::qWait(200);
    EXPECT_EQ(textOf("Edit8"), QStringLiteral("c:\\old\\waol.exe"));
    EXPECT_EQ(child<QLabel>("Panel5")->text(), QString());

    click("SpeedButton3");
    setText("Edit1", "Staff");
    click("BitBtn1");
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->record().sAOLprogram, "c:\\old\\waol.exe");

    show({}, record);
    click("SpeedButton3");
    click("BitBtn2");
    EXPECT_FALSE(form->isVisible());

    show({}, record);
    click("SpeedButton3");
    form.reset();
    QTest::qWait(100);
}

}  // namespace
}  // namespace tarn
