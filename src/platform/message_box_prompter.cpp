#include "platform/message_box_prompter.h"

#include <QApplication>
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

}  // namespace tarn
