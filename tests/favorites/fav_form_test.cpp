#include "favorites/fav_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "favorites_fixture.h"
#include "scripted_prompter.h"

namespace tarn {
namespace {

constexpr char kFailure[] = "unable to add this entry to the Favorites list..";

class FavFormTest : public test::FavoritesFixture {
  protected:
    void SetUp() override {
        test::FavoritesFixture::SetUp();
        std::filesystem::create_directories(folder / "Sports");
    }

    // Shows the dialog for the shell's Favorites folder (empty field) unless told otherwise.
    void show(const QString& name, const QString& url) {
        form.InitialName = name;
        form.InitialUrl = url;
        form.show();
    }

    void clickOk() { QTest::mouseClick(form.BitBtn2, Qt::LeftButton); }

    test::ScriptedPrompter prompter;
    TFavForm form{prompter};
};

TEST_F(FavFormTest, ShowsItsControls) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Add to the Favorites List"));
    const std::pair<const char*, QString> texts[] = {
        {"NameLabel", form.findChild<QLabel*>(QStringLiteral("NameLabel"))->text()},
        {"URLLabel", form.findChild<QLabel*>(QStringLiteral("URLLabel"))->text()},
        {"FavDirCB", form.findChild<QCheckBox*>(QStringLiteral("FavDirCB"))->text()},
        {"BitBtn2", form.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->text()},
        {"BitBtn1", form.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->text()},
    };
    const char* expected[] = {"Name:", "URL:", "Directory", "&Ok", "Cancel"};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(texts[i].second, QString::fromLatin1(expected[i])) << texts[i].first;
    }
    EXPECT_TRUE(form.BitBtn2->isDefault());
    EXPECT_NE(form.findChild<QLineEdit*>(QStringLiteral("Favorite")), nullptr);
    EXPECT_NE(form.findChild<QLineEdit*>(QStringLiteral("Url")), nullptr);
}

TEST_F(FavFormTest, DirectoryBoxFollowsTheName) {
    show(QStringLiteral("Sports"), QStringLiteral("http://sports.example/"));
    EXPECT_EQ(form.Favorite->text(), QStringLiteral("Sports"));
    EXPECT_EQ(form.Url->text(), QStringLiteral("http://sports.example/"));
    EXPECT_TRUE(form.FavDirCB->isChecked()) << "an existing subfolder";

    const std::pair<const char*, bool> typed[] = {
        {"Sport", false}, {"Sports", true}, {"Sports\\Scores", false}, {"", true}, {"Zoo", false}};
    for (auto [name, checked] : typed) {
        form.Favorite->setText(QString::fromLatin1(name));
        EXPECT_EQ(form.FavDirCB->isChecked(), checked) << name;
    }
}

TEST_F(FavFormTest, DirectoryBoxUsesTheGivenFolder) {
    const std::filesystem::path ann = dataHome / "tarnview/c/tarnview/Kids/Ann";
    std::filesystem::create_directories(ann / "Games");
    form.FavoritesFolderField = QStringLiteral("c:\\tarnview\\Kids\\Ann\\");
    show(QStringLiteral("Games"), {});
    EXPECT_TRUE(form.FavDirCB->isChecked());
    form.Favorite->setText(QStringLiteral("Sports"));
    EXPECT_FALSE(form.FavDirCB->isChecked()) << "Sports is in the shell folder, not Ann's";

    form.Url->setText(QStringLiteral("http://games.example/"));
    clickOk();
    EXPECT_EQ(test::readFile(ann / "Sports.URL"),
              "[InternetShortcut]\r\nURL=http://games.example/\r\n");
}

TEST_F(FavFormTest, OkWritesTheShortcut) {
    show(QStringLiteral("Zoo"), QStringLiteral("http://zoo.example/"));
    EXPECT_FALSE(form.FavDirCB->isChecked());
    clickOk();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(test::readFile(folder / "Zoo.URL"),
              "[InternetShortcut]\r\nURL=http://zoo.example/\r\n");
}

TEST_F(FavFormTest, OkWithDirectoryCheckedMakesAFolder) {
    show(QStringLiteral("News"), QStringLiteral("http://news.example/"));
    form.FavDirCB->setChecked(true);
    clickOk();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "News"));
    EXPECT_FALSE(std::filesystem::exists(folder / "News.URL"));
}

TEST_F(FavFormTest, FailingAddShowsTheMessageAndStillAccepts) {
    const QString failing[] = {QStringLiteral("Sports"), QStringLiteral("Missing\\Scores")};
    for (const QString& name : failing) {
        TFavForm dialog(prompter);
        dialog.InitialName = name;
        dialog.InitialUrl = QStringLiteral("http://x.example/");
        dialog.show();
        dialog.FavDirCB->setChecked(true);  // Sports exists; Missing does not
        QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << name.toStdString();
    }
    EXPECT_EQ(prompter.shown, (std::vector<std::string>{kFailure, kFailure}));
    EXPECT_FALSE(std::filesystem::exists(folder / "Missing"));
}

TEST_F(FavFormTest, CancelWritesNothing) {
    show(QStringLiteral("Zoo"), QStringLiteral("http://zoo.example/"));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(folder / "Zoo.URL"));
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace tarn
