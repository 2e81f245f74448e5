#include "platform/help_window.h"

#include <QKeyEvent>
#include <QUrl>

namespace tarn {
namespace {

QString titleFor(const std::filesystem::path& helpFile) {
    const QString name = QString::fromStdString(helpFile.filename().string());
    if (name.compare(QStringLiteral("tarnadmn.hlp"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Tarnview Administrator Help");
    }
    return QStringLiteral("Tarnview Help");
}

}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QTextBrowser(owner) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::Window);
    // Help must not become a way round the site policy: only its own anchors are followed.
    setOpenExternalLinks(false);
    resize(640, 560);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // Escape closes help, as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

void HelpWindow::showContext(const std::filesystem::path& helpFile, int context) {
    setWindowTitle(titleFor(helpFile));
    show();
    raise();
    activateWindow();

    std::error_code error;
    if (!std::filesystem::is_regular_file(helpFile, error)) {
        setPlainText(QStringLiteral("The help file %1 is missing. Reinstall Tarnview.")
                         .arg(QString::fromStdString(helpFile.string())));
        return;
    }

    QUrl url = QUrl::fromLocalFile(QString::fromStdString(helpFile.string()));
    url.setFragment(QStringLiteral("context-%1").arg(context));
    setSource(url, QTextDocument::HtmlResource);
}

}  // namespace tarn
