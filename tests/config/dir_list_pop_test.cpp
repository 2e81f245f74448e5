// The folder picker: one drive's folder tree, a chooser over the mapped drives, and the chosen
// folder written as settings write it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "config/dir_list_pop.h"
#include "named_control.h"
#include "platform/paths.h"
#include "qt_wait.h"
#include "temp_env.h"

namespace tarn {
namespace {

using test::control;

class DirListPopTest : public test::TempEnv {
  protected:
    void SetUp() override {
        TempEnv::SetUp();
        std::filesystem::create_directories(mapPath("c:\\tarnview\\Kids"));
        std::filesystem::create_directories(mapPath("d:\\lists"));
        // The drives are those mapped when the picker is made.
        owned = std::make_unique<TDirListPop>();
    }
    void TearDown() override {
        owned.reset();
        TempEnv::TearDown();
    }
    QString label() { return control<QLabel>(picker(), "Label1")->text(); }
    TDirListPop& picker() { return *owned; }

    std::unique_ptr<TDirListPop> owned;
};

TEST_F(DirListPopTest, StartsAtTheGivenFolderOrTheNearestOneThatExists) {
    picker().setFolder(QStringLiteral("c:\\tarnview"));
    EXPECT_EQ(label(), QStringLiteral("c:\\tarnview"));
    EXPECT_EQ(control<QComboBox>(picker(), "DriveComboBox1")->currentText(), QStringLiteral("c:"));
    picker().setFolder(QStringLiteral("d:\\lists\\not\\made\\yet"));
    EXPECT_EQ(label(), QStringLiteral("d:\\lists"));
    EXPECT_EQ(control<QComboBox>(picker(), "DriveComboBox1")->currentText(), QStringLiteral("d:"));
    picker().setFolder(QString::fromStdString((root / "elsewhere").string()));
    EXPECT_EQ(label(), QString::fromStdString(root.string()));
}

TEST_F(DirListPopTest, AFolderChosenInTheTreeOrByDriveIsTheAnswer) {
    picker().setFolder(QStringLiteral("c:\\tarnview"));
    picker().show();
    auto* tree = control<QTreeView>(picker(), "DirectoryListBox1");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->isReadOnly());
    const QModelIndex kids =
        model->index(QString::fromStdString(mapPath("c:\\tarnview\\Kids").string()));
    ASSERT_TRUE(kids.isValid());
    tree->setCurrentIndex(kids);
    EXPECT_EQ(label(), QStringLiteral("c:\\tarnview\\Kids"));
    QTest::mouseClick(control<QPushButton>(picker(), "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(picker().result(), QDialog::Accepted);
    EXPECT_EQ(picker().folder(), QStringLiteral("c:\\tarnview\\Kids"));

    control<QComboBox>(picker(), "DriveComboBox1")->setCurrentText(QStringLiteral("d:"));
    EXPECT_EQ(picker().folder(), QStringLiteral("d:\\"));
}

}  // namespace
}  // namespace tarn
