#include "platform/file_dialog.h"

#include <QAction>
#include <QFileDialog>

namespace tarn {

QString chooseFileInDialog(QWidget* parent, FileDialogMode mode, const QString& caption,
                           const QString& start, const QString& filter) {
    QFileDialog dialog(parent, caption, start, filter);
    const bool save = mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOptions(QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    // ReadOnly turns the new-folder button off, but the action behind the context menu's entry
    // starts out enabled and makes a folder whenever it is triggered.
    if (auto* newFolder = dialog.findChild<QAction*>(QStringLiteral("qt_new_folder_action")))
        newFolder->setEnabled(false);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace tarn
