#include "platform/message_box_prompter.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "platform/file_dialog.h"

namespace tarn {

namespace {

QString caption() {
    return QStringLiteral("Tarnview");
}

}  // namespace

void MessageBoxPrompter::message(const std::string& text) {
    QMessageBox::information(QApplication::activeWindow(), caption(), QString::fromStdString(text));
}

void MessageBoxPrompter::error(const std::string& text) {
    QMessageBox::critical(QApplication::activeWindow(), caption(), QString::fromStdString(text));
}

bool MessageBoxPrompter::confirm(const std::string& text) {
    return QMessageBox::question(QApplication::activeWindow(), caption(),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string MessageBoxPrompter::chooseFile(const FileQuestion& question) {
    const QString start = QDir(QString::fromStdString(question.folder))
                              .filePath(QString::fromStdString(question.fileName));
    return chooseFileInDialog(QApplication::activeWindow(), FileDialogMode::Open,
                              QString::fromStdString(question.title), start,
                              QString::fromStdString(question.filter))
        .toStdString();
}

}  // namespace tarn
