#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarn {

class Prompter;

// "Add to the Favorites List": a name and a URL for a new shortcut, or a new subfolder when
// "Directory" is checked. Always closes with OK so that the caller refreshes its list.
class TFavForm : public QDialog {
    Q_OBJECT

  public:
    explicit TFavForm(Prompter& prompter, QWidget* parent = nullptr);

    // Set before showing: the page's name and address, and the favourites folder (empty for the
    // shell's Favorites folder).
    QString InitialName;
    QString InitialUrl;
    QString FavoritesFolderField;

    void FormShow();
    void FavoriteChange();
    void BitBtn2Click();

    QLabel* NameLabel{};
    QLineEdit* Favorite{};
    QCheckBox* FavDirCB{};
    QLabel* URLLabel{};
    QLineEdit* Url{};
    QPushButton* BitBtn2{};
    QPushButton* BitBtn1{};

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Prompter& prompter_;
    bool shown_ = false;
};

}  // namespace tarn
