// The favourites list, the Favorites menu, opening and dropping favourites, adding and deleting.
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "app/main_form.h"
#include "app/url_combo_box.h"
#include "engine/web_browser.h"
#include "favorites/fav_form.h"
#include "favorites/favorite_item.h"
#include "favorites/favorites_store.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "settings/settings_error.h"
#include "widgets/adv_splitter.h"

namespace tarn {

void TMainForm::buildFavoritesList() {
    FavListView = new QTreeWidget(FavoritesPanel);
    FavListView->setObjectName(QStringLiteral("FavListView"));
    FavListView->setColumnCount(2);
    FavListView->setHeaderLabels({QStringLiteral("Favorite"), QStringLiteral("Location")});
    FavListView->setColumnWidth(0, 125);
    FavListView->setColumnWidth(1, 200);
    FavListView->setRootIsDecorated(false);
    FavListView->setToolTip(QStringLiteral(
        "Click on a favorite to load or right click to see Favorites maintenance options"));
    FavListView->setContextMenuPolicy(Qt::CustomContextMenu);
    FavListView->header()->setSectionsClickable(true);
    ImageList1 = {style()->standardIcon(QStyle::SP_DriveNetIcon),
                  style()->standardIcon(QStyle::SP_DirIcon),
                  style()->standardIcon(QStyle::SP_FileIcon)};
    auto* layout = new QVBoxLayout(FavoritesPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FavListView);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    DeleteFavorite1 = PopupMenu1->addAction(QStringLiteral("&Delete Favorite"));
    DeleteFavorite1->setObjectName(QStringLiteral("DeleteFavorite1"));

    connect(FavListView, &QTreeWidget::itemClicked, this, [this] { FavListViewClick(); });
    connect(FavListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(FavListView->viewport()->mapToGlobal(at));
    });
    connect(FavListView->header(), &QHeaderView::sectionClicked, this,
            &TMainForm::FavListViewColumnClick);
    connect(DeleteFavorite1, &QAction::triggered, this, &TMainForm::DeleteFavorite1Click);
    connect(AddToFavorites1, &QAction::triggered, this, &TMainForm::AddToFavorites1Click);
    connect(ShowFavoritesList1, &QAction::triggered, this, &TMainForm::ShowFavoritesList1Click);
}

std::string TMainForm::favoritesFolder() {
    return ResolveFavoritesFolder(session_->useLogon(),
                                  [this] { return GetUserFolder().toStdString(); });
}

std::string TMainForm::favoritesWriteFolder() {
    return session_->useLogon() ? GetUserFolder().toStdString() : std::string();
}

void TMainForm::RefreshFavorites() {
    std::optional<std::vector<FavoriteEntry>> entries;
    try {
        entries = ScanFavoritesFolder(favoritesFolder());
    } catch (const SettingsError& error) {
        // Without its folder the list shows nothing rather than another group's favourites.
        prompter_.error(error.what());
        FavListView->clear();
        return;
    } catch (const std::filesystem::filesystem_error& failure) {
        // The user stays signed on, without favourites, until the folder can be made.
        prompter_.error("The favourites folder " + failure.path1().string() +
                        " could not be created: " + failure.code().message() +
                        ". Favourites are not available; ask your administrator to check the "
                        "group's favourites folder.");
        entries.emplace();
    }
    if (!entries)
        return;
    FavListView->clear();
    sortColumn_ = -1;
    for (const FavoriteEntry& entry : *entries) {
        auto* item = new FavoriteItem(entry);
        item->setIcon(0, ImageList1[static_cast<int>(entry.Kind)]);
        FavListView->addTopLevelItem(item);
    }
    const QList<QAction*> items = Favorites1->actions();
    for (qsizetype i = 2; i < items.size(); ++i) {
        Favorites1->removeAction(items[i]);
        delete items[i];
    }
    for (int row = 0; row < FavListView->topLevelItemCount(); ++row) {
        QAction* action = Favorites1->addAction(FavListView->topLevelItem(row)->text(0));
        connect(action, &QAction::triggered, this,
                [this, action] { FavoritesMenuItemClick(action); });
    }
}

void TMainForm::FavListViewClick() {
    auto* item = static_cast<FavoriteItem*>(FavListView->currentItem());
    if (!item || !item->isSelected())
        return;
    if (item->kind() != FavoriteKind::Folder) {
        std::string folder;
        if (readReporting([&] { folder = favoritesFolder(); }))
            OpenFavorite(QString::fromStdString(ReadShortcutUrl("", item->fileName(), folder)));
        return;
    }
    const std::string chosen = prompter_.chooseFile(
        {"Open", FavoritePath(item->text(1).toStdString()).string(), "", "All files (*)"});
    if (chosen.empty())
        return;
    QString url = QString::fromStdString(chosen);
    if (QFileInfo(url).suffix().toUpper() == QStringLiteral("URL"))
        url = QString::fromStdString(ReadShortcutUrl(chosen, "", ""));
    OpenFavorite(url);
}

void TMainForm::OpenFavorite(const QString& url) {
    if (url.isEmpty())
        return;
    // A local file among the favourites is one the person chose, as through File > Open.
    if (QUrl::fromUserInput(url).isLocalFile())
        Panes[0].browser->Admit(url);
    if (panes_->count() == 1) {
        Panes[0].browser->Navigate(url);
    } else if (panes_->zoomed() != 0) {
        Panes[panes_->zoomed() - 1].browser->Navigate(url);
    } else {
        panes_->setPendingDrop(url.toStdString());
    }
}

void TMainForm::LeftTopURLEnter(BrowserPane& pane) {
    const auto drop = panes_->takeDrop();
    if (!drop)
        return;
    pane.url->setEditText(QString::fromStdString(*drop));
    LeftTopURLKeyPress(pane);
}

void TMainForm::CancelDropFavorite() {
    panes_->cancelDrop();
}

void TMainForm::FavoritesMenuItemClick(QAction* item) {
    for (int row = 0; row < FavListView->topLevelItemCount(); ++row) {
        QTreeWidgetItem* candidate = FavListView->topLevelItem(row);
        if (candidate->text(0).compare(item->text(), Qt::CaseInsensitive) == 0) {
            FavListView->setCurrentItem(candidate);
            FavListViewClick();
            return;
        }
    }
    prompter_.message("Error finding menu favorite in list..");
}

void TMainForm::AddToFavorites1Click() {
    std::string folder;
    if (!readReporting([&] { folder = favoritesWriteFolder(); }))
        return;
    TFavForm form(prompter_, this);
    form.FavoritesFolderField = QString::fromStdString(folder);
    const TWebBrowser* current = Panes[panes_->current() - 1].browser;
    form.InitialName = current->LocationName();
    form.InitialUrl = current->LocationURL();
    if (form.exec() == QDialog::Accepted)
        RefreshFavorites();
}

void TMainForm::DeleteFavorite1Click() {
    panes_->cancelDrop();
    auto* item = static_cast<FavoriteItem*>(FavListView->currentItem());
    if (!item || !item->isSelected()) {
        prompter_.message("select a favorite, then right click to delete it..");
        return;
    }
    std::string folder;
    if (!readReporting([&] { folder = favoritesWriteFolder(); }))
        return;
    if (DeleteFavoriteEntry(folder, item->fileName(), false).deleted) {
        RefreshFavorites();
    }
}

void TMainForm::ShowFavoritesList1Click() {
    // The action toggles its own check mark before this runs.
    AppSplitter->Pane1Setting()->setVisible(ShowFavoritesList1->isChecked());
}

void TMainForm::FavListViewColumnClick(int column) {
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : true;
    sortColumn_ = column;
    FavListView->sortItems(column, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

}  // namespace tarn
