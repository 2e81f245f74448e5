// The favourites list and menu of the main window, end to end.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include "app/url_combo_box.h"
#include "engine/web_browser.h"
#include "favorites/fav_form.h"
#include "favorites/favorites_store.h"
#include "main_form_fixture.h"
#include "platform/paths.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

class FavoritesTest : public MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        folder = defaultFavoritesFolder();
        std::filesystem::create_directories(folder);
    }

    void addShortcut(const std::string& name, const QUrl& url) {
        writeFile(folder / (name + ".URL"),
                  "[InternetShortcut]\r\nURL=" + url.toString().toStdString() + "\r\n");
    }

    QTreeWidgetItem* row(TMainForm& form, const QString& caption) {
        for (int i = 0; i < form.FavListView->topLevelItemCount(); ++i) {
            if (form.FavListView->topLevelItem(i)->text(0) == caption) {
                return form.FavListView->topLevelItem(i);
            }
        }
        return nullptr;
    }

    void clickRow(TMainForm& form, const QString& caption) {
        QTreeWidgetItem* item = row(form, caption);
        ASSERT_NE(item, nullptr) << caption.toStdString();
        form.FavListView->setCurrentItem(item);
        form.FavListViewClick();
    }

    static void enterBox(BrowserPane& pane) {
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(pane.url->lineEdit(), &focus);
    }

    std::filesystem::path folder;
};

TEST_F(FavoritesTest, OnePaneLoadsPaneOneAndAZoomedPaneLoadsItself) {
    addShortcut("Two", server.url(QStringLiteral("/two")));
    addShortcut("Three", server.url(QStringLiteral("/three")));
    auto form = start();
    EXPECT_EQ(form->FavListView->topLevelItemCount(), 2);
    form->SetCurrentPane(2);
    clickRow(*form, QStringLiteral("Two"));
    EXPECT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/two"))));

    for (int more = 0; more < 3; ++more)
        form->NewSplitButtonClick();
    form->LTZoomClick(3);
    clickRow(*form, QStringLiteral("Three"));
    EXPECT_TRUE(waitForPage(*form, 3, server.url(QStringLiteral("/three"))));
}

TEST_F(FavoritesTest, WithTwoPanesTheFavouriteWaitsForAnAddressBox) {
    addShortcut("Two", server.url(QStringLiteral("/two")));
    auto form = start();
    form->NewSplitButtonClick();
    clickRow(*form, QStringLiteral("Two"));
    EXPECT_TRUE(form->paneState().pendingDrop().has_value());
    QTest::qWait(200);
    EXPECT_EQ(server.hits(QStringLiteral("/two")), 0);

    enterBox(form->Panes[1]);
    EXPECT_FALSE(form->paneState().pendingDrop().has_value());
    EXPECT_TRUE(waitForPage(*form, 2, server.url(QStringLiteral("/two"))));
    enterBox(form->Panes[0]);
    QTest::qWait(200);
    EXPECT_TRUE(form->Panes[0].browser->LocationURL().isEmpty());

    // A click on a pane's status bar cancels a waiting drop.
    clickRow(*form, QStringLiteral("Two"));
    EXPECT_TRUE(form->paneState().pendingDrop().has_value());
    QTest::mouseClick(form->Panes[0].statusBar, Qt::LeftButton);
    EXPECT_FALSE(form->paneState().pendingDrop().has_value());
    enterBox(form->Panes[0]);
    QTest::qWait(200);
    EXPECT_TRUE(form->Panes[0].browser->LocationURL().isEmpty());
}

TEST_F(FavoritesTest, TheMenuFollowsTheListAndFindsCaptionsWithAnAmpersand) {
    addShortcut("A&B", server.url(QStringLiteral("/one")));
    auto form = start();
    const QList<QAction*> items = form->Favorites1->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[2]->text(), QStringLiteral("A&B"));
    items[2]->trigger();
    EXPECT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/one"))));
    EXPECT_TRUE(prompter.shown.empty());

    std::filesystem::remove(folder / "A&B.URL");
    addShortcut("Other", server.url(QStringLiteral("/two")));
    form->RefreshFavorites();
    ASSERT_EQ(form->Favorites1->actions().size(), 3);
    EXPECT_EQ(form->Favorites1->actions()[2]->text(), QStringLiteral("Other"));
}

TEST_F(FavoritesTest, AddingThePageOfTheCurrentPaneListsIt) {
    auto form = start();
    form->Panes[0].browser->Navigate(server.url(QStringLiteral("/one")).toString());
    ASSERT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/one"))));
    ASSERT_TRUE(
        waitUntil([&] { return form->Panes[0].browser->LocationName() == QStringLiteral("One"); }));
    QTimer::singleShot(200, [] {
        if (auto* dialog = qobject_cast<TFavForm*>(QApplication::activeModalWidget())) {
            dialog->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->click();
        }
    });
    form->AddToFavorites1Click();
    ASSERT_NE(row(*form, QStringLiteral("One")), nullptr);
    EXPECT_EQ(row(*form, QStringLiteral("One"))->text(1),
              server.url(QStringLiteral("/one")).toString());
    EXPECT_EQ(readFile(folder / "One.URL"),
              "[InternetShortcut]\r\nURL=" +
                  server.url(QStringLiteral("/one")).toString().toStdString() + "\r\n");
}

TEST_F(FavoritesTest, DeletingRemovesAShortcutButAFolderRowReportsFileNotFound) {
    addShortcut("Gone", server.url(QStringLiteral("/one")));
    std::filesystem::create_directories(folder / "News");
    auto form = start();

    form->FavListView->clearSelection();
    form->FavListView->setCurrentItem(nullptr);
    form->DeleteFavorite1Click();
    EXPECT_EQ(prompter.shown.back(), "select a favorite, then right click to delete it..");

    form->FavListView->setCurrentItem(row(*form, QStringLiteral("Gone")));
    form->DeleteFavorite1Click();
    EXPECT_FALSE(std::filesystem::exists(folder / "Gone.URL"));
    EXPECT_EQ(row(*form, QStringLiteral("Gone")), nullptr);

    form->FavListView->setCurrentItem(row(*form, QStringLiteral("News")));
    try {
        form->DeleteFavorite1Click();
        ADD_FAILURE() << "deleting a folder row as a shortcut must fail";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder / "News"));
}

TEST_F(FavoritesTest, AShortcutWithALowerCaseExtensionOpensAndDeletes) {
    writeFile(folder / "Weather.url",
              "[InternetShortcut]\r\nURL=" +
                  server.url(QStringLiteral("/two")).toString().toStdString() + "\r\n");
    auto form = start();
    clickRow(*form, QStringLiteral("Weather"));
    EXPECT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/two"))));

    form->FavListView->setCurrentItem(row(*form, QStringLiteral("Weather")));
    form->DeleteFavorite1Click();
    EXPECT_FALSE(std::filesystem::exists(folder / "Weather.url"));
    EXPECT_EQ(row(*form, QStringLiteral("Weather")), nullptr);
}

TEST_F(FavoritesTest, AFolderRowOpensTheChosenFileFromARealFolder) {
    std::filesystem::create_directories(folder / "Sports");
    const std::filesystem::path inner = folder / "Sports" / "Scores.URL";
    writeFile(inner, "[InternetShortcut]\r\nURL=" +
                         server.url(QStringLiteral("/three")).toString().toStdString() + "\r\n");
    auto form = start();
    // Nobody signs on, so the list shows the shell's Favorites folder: a POSIX path.
    EXPECT_EQ(row(*form, QStringLiteral("Sports"))->text(1),
              QString::fromStdString((folder / "Sports").string()));
    prompter.files.push_back(inner.string());
    clickRow(*form, QStringLiteral("Sports"));
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].folder, (folder / "Sports").string());
    EXPECT_TRUE(std::filesystem::is_directory(prompter.asked[0].folder));
    EXPECT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/three"))));
}

TEST_F(FavoritesTest, ColumnClicksSortNumbersByValueAndReverse) {
    for (const char* name : {"10", "9", "100"})
        addShortcut(name, server.url(QStringLiteral("/one")));
    auto form = start();
    auto captions = [&] {
        QStringList list;
        for (int i = 0; i < form->FavListView->topLevelItemCount(); ++i) {
            list << form->FavListView->topLevelItem(i)->text(0);
        }
        return list;
    };
    form->FavListViewColumnClick(0);
    EXPECT_EQ(captions(),
              (QStringList{QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("100")}));
    form->FavListViewColumnClick(0);
    EXPECT_EQ(captions(),
              (QStringList{QStringLiteral("100"), QStringLiteral("10"), QStringLiteral("9")}));
}

TEST_F(FavoritesTest, ShowFavoritesListShowsAndHidesThePanel) {
    auto form = start();
    EXPECT_FALSE(form->ShowFavoritesList1->isChecked());
    EXPECT_FALSE(form->FavListView->isVisibleTo(form.get()));
    form->ShowFavoritesList1->trigger();
    EXPECT_TRUE(form->FavListView->isVisibleTo(form.get()));
    form->ShowFavoritesList1->trigger();
    EXPECT_FALSE(form->FavListView->isVisibleTo(form.get()));
}

}  // namespace
}  // namespace tarn::test
