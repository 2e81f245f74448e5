#include "favorites/fav_form.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "favorites/favorites_store.h"
#include "platform/prompter.h"

namespace tarn {

TFavForm::TFavForm(Prompter& prompter, QWidget* parent) : QDialog(parent), prompter_(prompter) {
    setWindowTitle(QStringLiteral("Add to the Favorites List"));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    layout->addLayout(fields);

    NameLabel = new QLabel(QStringLiteral("Name:"), this);
    NameLabel->setObjectName(QStringLiteral("NameLabel"));
    Favorite = new QLineEdit(this);
    Favorite->setObjectName(QStringLiteral("Favorite"));
    NameLabel->setBuddy(Favorite);
    FavDirCB = new QCheckBox(QStringLiteral("Directory"), this);
    FavDirCB->setObjectName(QStringLiteral("FavDirCB"));
    URLLabel = new QLabel(QStringLiteral("URL:"), this);
    URLLabel->setObjectName(QStringLiteral("URLLabel"));
    Url = new QLineEdit(this);
    Url->setObjectName(QStringLiteral("Url"));
    URLLabel->setBuddy(Url);
    Url->setMinimumWidth(320);
    fields->addWidget(NameLabel, 0, 0);
    fields->addWidget(Favorite, 0, 1);
    fields->addWidget(FavDirCB, 0, 2);
    fields->addWidget(URLLabel, 1, 0);
    fields->addWidget(Url, 1, 1, 1, 2);

    auto* buttons = new QDialogButtonBox(this);
    BitBtn2 = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    BitBtn1 = buttons->addButton(QDialogButtonBox::Cancel);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    layout->addWidget(buttons);

    connect(Favorite, &QLineEdit::textChanged, this, &TFavForm::FavoriteChange);
    connect(BitBtn2, &QPushButton::clicked, this, &TFavForm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

void TFavForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFavForm::FormShow() {
    if (!InitialName.isEmpty()) {
        Favorite->setText(InitialName);
    }
    if (!InitialUrl.isEmpty()) {
        Url->setText(InitialUrl);
    }
}

void TFavForm::FavoriteChange() {
    FavDirCB->setChecked(
        IsFavoriteFolder(FavoritesFolderField.toStdString(), Favorite->text().toStdString()));
}

void TFavForm::BitBtn2Click() {
    const std::string name = Favorite->text().toStdString();
    const std::string url = FavDirCB->isChecked() ? std::string() : Url->text().toStdString();
    if (!AddFavoriteEntry(FavoritesFolderField.toStdString(), name, url)) {
        prompter_.message("unable to add this entry to the Favorites list..");
    }
    accept();
}

}  // namespace tarn
