#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TDirListPop;
}

class QFileSystemModel;

namespace tarn {

// Chooses a folder: the folder tree of one drive, a chooser over the mapped drives (and this
// computer's own folders), and the chosen folder's path above. Paths on a mapped drive are
// written as settings write them ("c:\tarnview"). Nothing can be renamed, deleted or made here.
class TDirListPop : public QDialog {
    Q_OBJECT

  public:
    explicit TDirListPop(QWidget* parent = nullptr);
    ~TDirListPop() override;

    // The folder the tree starts at, as settings write it or as a real path; the nearest folder
    // that exists is shown.
    void setFolder(const QString& folder);
    // After OK: the chosen folder.
    QString folder() const;

  private:
    void showDrive(int index);
    void select(const QString& realPath);

    std::unique_ptr<Ui::TDirListPop> ui_;
    QFileSystemModel* model_{};
};

}  // namespace tarn
