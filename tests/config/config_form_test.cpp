// The configuration window: what it shows, what OK stores, and that nothing else stores.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "admin/edit_form.h"
#include "config/config_form.h"
#include "config/configuration.h"
#include "modal_answer.h"
#include "named_control.h"
#include "scripted_prompter.h"
#include "settings/settings_store.h"
#include "temp_env.h"
#include "widgets/number_box.h"

namespace tarn {
namespace {

using test::control;

constexpr char kKey[] = "Software\\Kestrow Software\\Tarnview\\Kids\\ann";

class ConfigFormTest : public test::TempEnv {
  protected:
    void open() {
        form = std::make_unique<TConfigForm>(prompter);
        form->ConfigKey = QString::fromLatin1(kKey);
        form->UserName = QStringLiteral("ann");
        form->GroupName = QStringLiteral("Kids");
        form->show();
    }
    template <typename T>
    T* at(const char* name) {
        return control<T>(*form, name);
    }
    void click(const char* name) { QTest::mouseClick(at<QPushButton>(name), Qt::LeftButton); }
    QStringList cycle(const char* list) {
        QStringList entries;
        for (int row = 0; row < at<QListWidget>(list)->count(); ++row)
            entries << at<QListWidget>(list)->item(row)->text();
        return entries;
    }
    // Types `text` into a number box as a person would, then moves the focus away.
    void type(const char* box, const QString& text) {
        auto* number = at<TNumberBox>(box);
        number->selectAll();
        QTest::keyClick(number, Qt::Key_Backspace);
        QTest::keyClicks(number, text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(number, &out);
    }

    test::ScriptedPrompter prompter;
    std::unique_ptr<TConfigForm> form;
};

TEST_F(ConfigFormTest, ShowsTheStoredValuesAndOkStoresWhatWasChanged) {
    SettingsStore store(kKey);
    store.write_string("Config", "iNumberOfPanes", "3");
    store.write_string("Config", "sPane2Url", "http://start.example/");
    store.write_string("Config", "bWeb2RefreshMins", "0");
    store.write_string("Web2Cycle", "sUrl0", "http://a.example/");
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarnview Configuration"));
    EXPECT_EQ(at<QLabel>("Panel14")->text(),
              QStringLiteral("Configuration data is for: ann in group: Kids"));
    EXPECT_EQ(at<TNumberBox>("SpinEdit1")->value(), 3);
    EXPECT_EQ(at<QLineEdit>("Edit2")->text(), QStringLiteral("http://start.example/"));
    EXPECT_TRUE(at<QRadioButton>("RadioButton4")->isChecked()) << "seconds for Web2's refresh";
    EXPECT_EQ(cycle("ListBox2"), QStringList{QStringLiteral("http://a.example/")});

    at<QLineEdit>("Edit4")->setText(QStringLiteral("http://four.example/"));
    at<QCheckBox>("CheckBox8")->setChecked(true);
    at<QCheckBox>("RefreshAtStart4")->setChecked(true);
    at<QRadioButton>("RadioButton20")->setChecked(true);
    click("BitBtn1");
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->Cancelled);
    const Configuration stored = readConfiguration(kKey);
    EXPECT_EQ(stored.pane[3].startUrl, "http://four.example/");
    EXPECT_TRUE(stored.pane[3].okToRefresh);
    EXPECT_TRUE(stored.pane[3].refreshAtStart);
    EXPECT_EQ(stored.newWindowAction, 3);
    EXPECT_EQ(stored.panes, 3);
    EXPECT_EQ(stored.pane[1].cycle, std::vector<std::string>{"http://a.example/"});
}

TEST_F(ConfigFormTest, CancelEscapeAndTheCloseBoxStoreNothing) {
    for (const char* way : {"Cancel", "Escape", "close box"}) {
        SCOPED_TRACE(way);
        open();
        at<QLineEdit>("Edit1")->setText(QStringLiteral("http://changed.example/"));
        if (std::string(way) == "Cancel")
            click("BitBtn2");
        else if (std::string(way) == "Escape")
            QTest::keyClick(form.get(), Qt::Key_Escape);
        else
            form->close();
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(form->Cancelled);
        EXPECT_EQ(SettingsStore(kKey).read_string("Config", "sPane1Url", "none"), "none");
    }
}

TEST_F(ConfigFormTest, NumberBoxesTakeDigitsAndKeepToTheirRange) {
    open();
    type("SpinEdit2", QStringLiteral("9x00"));
    EXPECT_EQ(at<TNumberBox>("SpinEdit2")->value(), 600) << "900, letters refused, brought down";
    type("SpinEdit3", QString());
    EXPECT_EQ(at<TNumberBox>("SpinEdit3")->value(), 1);
    type("SpinEdit1", QStringLiteral("99999999999"));
    EXPECT_EQ(at<TNumberBox>("SpinEdit1")->value(), 1) << "beyond any integer: the lower bound";
    click("BitBtn1");
    const Configuration stored = readConfiguration(kKey);
    EXPECT_EQ(stored.pane[0].refreshRate, 600);
    EXPECT_EQ(stored.pane[1].refreshRate, 1);
}

TEST_F(ConfigFormTest, AnUnknownNewWindowActionShowsAndStoresTheFirst) {
    SettingsStore(kKey).write_string("Config", "iNewWindowAction", "7");
    open();
    EXPECT_TRUE(at<QRadioButton>("RadioButton18")->isChecked());
    click("BitBtn1");
    EXPECT_EQ(SettingsStore(kKey).read_string("Config", "iNewWindowAction", ""), "0");
}

TEST_F(ConfigFormTest, CycleEntriesAreAddedEditedToTheEndAndDeleted) {
    open();
    for (const char* entry : {"x", "y", "z"}) {
        test::ModalAnswer<TEditForm> answer([entry](TEditForm& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))
                ->setText(QString::fromLatin1(entry));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2")),
                              Qt::LeftButton);
        });
        click("BitBtn7");
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(cycle("ListBox2"),
              (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}));

    at<QListWidget>("ListBox2")->setCurrentRow(0);
    QString prompt, shownText;
    {
        test::ModalAnswer<TEditForm> answer([&](TEditForm& dialog) {
            prompt = dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text();
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
            shownText = edit->text();
            edit->setText(QStringLiteral("w"));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2")),
                              Qt::LeftButton);
        });
        click("BitBtn8");
    }
    EXPECT_EQ(prompt, QStringLiteral("Please modify the URL.."));
    EXPECT_EQ(shownText, QStringLiteral("x"));
    EXPECT_EQ(cycle("ListBox2"),
              (QStringList{QStringLiteral("y"), QStringLiteral("z"), QStringLiteral("w")}));

    at<QListWidget>("ListBox2")->setCurrentRow(1);
    click("BitBtn9");
    EXPECT_EQ(cycle("ListBox2"), (QStringList{QStringLiteral("y"), QStringLiteral("w")}));
    click("BitBtn1");
    EXPECT_EQ(readConfiguration(kKey).pane[1].cycle, (std::vector<std::string>{"y", "w"}));
}

TEST_F(ConfigFormTest, TheTitlePanelShowsWhereTheConfigurationIsKeptOnDoubleClick) {
    open();
    QTest::mouseDClick(at<QLabel>("Panel14"), Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], kKey);
}

}  // namespace
}  // namespace tarn
