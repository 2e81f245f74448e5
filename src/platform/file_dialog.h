#pragma once

#include <QString>

class QWidget;

namespace tarn {

enum class FileDialogMode { Open, Save };

// Every file dialog of the program goes through here. It is Qt's own dialog, read-only, so that
// nobody can rename, delete or create files or folders through it, whatever the desktop's native
// dialog would offer. The chosen file's path, or empty when the dialog was cancelled.
QString chooseFileInDialog(QWidget* parent, FileDialogMode mode, const QString& caption,
                           const QString& start, const QString& filter);

}  // namespace tarn
