#include "config/dir_list_pop.h"

#include <QFileSystemModel>
#include <QPushButton>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"
#include "platform/screen_centre.h"
#include "ui_dir_list_pop.h"

namespace tarn {
namespace {

QString qs(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The folder itself when it exists, else its nearest existing parent.
std::filesystem::path existingFolder(std::filesystem::path path) {
    std::error_code error;
    while (!path.empty() && !std::filesystem::is_directory(path, error) &&
           path != path.parent_path()) {
        path = path.parent_path();
    }
    return path;
}

}  // namespace

TDirListPop::TDirListPop(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TDirListPop>()) {
    ui_->setupUi(this);
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    ui_->DirectoryListBox1->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        ui_->DirectoryListBox1->hideColumn(column);
    for (const char drive : mappedDrives())
        ui_->DriveComboBox1->addItem(QStringLiteral("%1:").arg(QLatin1Char(drive)),
                                     qs(mapPathOnDrive(std::string(1, drive) + ":")));
    ui_->DriveComboBox1->addItem(QStringLiteral("/ (this computer)"), QStringLiteral("/"));
    connect(ui_->DriveComboBox1, &QComboBox::currentIndexChanged, this, &TDirListPop::showDrive);
    connect(ui_->DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    ui_->Label1->setText(QString::fromStdString(
                        windowsStylePath(model_->filePath(current).toStdString())));
            });
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    showDrive(0);
    centreOnScreen(*this);
}

TDirListPop::~TDirListPop() = default;

void TDirListPop::showDrive(int index) {
    const QString root = ui_->DriveComboBox1->itemData(index).toString();
    ui_->DirectoryListBox1->setRootIndex(model_->setRootPath(root));
    select(root);
}

void TDirListPop::select(const QString& realPath) {
    const QModelIndex index = model_->index(realPath);
    ui_->DirectoryListBox1->setCurrentIndex(index);
    ui_->DirectoryListBox1->scrollTo(index);
    ui_->Label1->setText(QString::fromStdString(windowsStylePath(realPath.toStdString())));
}

void TDirListPop::setFolder(const QString& folder) {
    const std::filesystem::path real = existingFolder(mapPath(folder.toStdString()));
    // The drive it is on: a mapped one, or this computer's own folders.
    int drive = ui_->DriveComboBox1->count() - 1;
    for (int i = 0; i + 1 < ui_->DriveComboBox1->count(); ++i) {
        const std::filesystem::path root =
            ui_->DriveComboBox1->itemData(i).toString().toStdString();
        const auto relative = real.lexically_normal().lexically_relative(root.lexically_normal());
        if (!relative.empty() && *relative.begin() != "..")
            drive = i;
    }
    {
        const QSignalBlocker block(ui_->DriveComboBox1);
        ui_->DriveComboBox1->setCurrentIndex(drive);
    }
    ui_->DirectoryListBox1->setRootIndex(
        model_->setRootPath(ui_->DriveComboBox1->itemData(drive).toString()));
    select(qs(real.empty() ? std::filesystem::path("/") : real));
}

QString TDirListPop::folder() const {
    return ui_->Label1->text();
}

}  // namespace tarn
