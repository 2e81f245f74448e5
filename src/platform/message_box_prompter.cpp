#include "platform/message_box_prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

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
    // Read-only: a dialog opened from a supervised window must not rename or delete files.
    const QString start = QDir(QString::fromStdString(question.folder))
                              .filePath(QString::fromStdString(question.fileName));
    return QFileDialog::getOpenFileName(
               QApplication::activeWindow(), QString::fromStdString(question.title), start,
               QString::fromStdString(question.filter), nullptr, QFileDialog::ReadOnly)
        .toStdString();
}

}  // namespace tarn
