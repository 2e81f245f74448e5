// Printing, saving, uploads, local files and the context menu of the browser view.
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include "engine/web_browser.h"
#include "engine/web_page.h"
#include "platform/file_dialog.h"
#include "platform/program_folder.h"
#include "platform/prompter.h"
#include "policy/protected_paths.h"

namespace tarn {
namespace {

QString defaultSaveChooser(QWidget* parent, const QString& suggestedPath) {
    return chooseFileInDialog(
        parent, FileDialogMode::Save, QStringLiteral("Save As"), suggestedPath,
        QStringLiteral("Web page, complete (*.htm *.html);;Web archive, single file (*.mht "
                       "*.mhtml)"));
}

QWebEngineDownloadRequest::SavePageFormat formatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("mht") || suffix == QStringLiteral("mhtml")) {
        return QWebEngineDownloadRequest::MimeHtmlSaveFormat;
    }
    return QWebEngineDownloadRequest::CompleteHtmlSaveFormat;
}

// A file name from the page title, without the characters file systems refuse.
QString suggestedFileName(const QString& title) {
    QString name = title.trimmed();
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name) {
        if (refused.contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    return (name.isEmpty() ? QStringLiteral("page") : name) + QStringLiteral(".htm");
}

// The program's own pages (the blank page) show from its folder; nothing else there does.
bool isOwnPage(const QString& path) {
    const QFileInfo file(path);
    const QString suffix = file.suffix().toLower();
    const QString folder =
        QFileInfo(QString::fromStdString(programFolder().string())).canonicalFilePath();
    return (suffix == QStringLiteral("htm") || suffix == QStringLiteral("html")) &&
           !folder.isEmpty() && file.canonicalPath() == folder;
}

std::string ownPlaceRefusal(const QString& path, const char* what) {
    return QDir::toNativeSeparators(path).toStdString() + " can not be " + what +
           ": that place holds Tarnview's settings, log or program files. Choose another file.";
}

}  // namespace

bool TWebBrowser::mayOpenLocally(const QUrl& url) {
    if (!url.isLocalFile())
        return true;
    const QString path = url.toLocalFile();
    if (isOwnPage(path) || !isProtectedPath(path.toStdString(), programFolder()))
        return true;
    prompter().message(ownPlaceRefusal(path, "opened in Tarnview"));
    return false;
}

QStringList TWebBrowser::chooseUpload(QWebEnginePage::FileSelectionMode mode) {
    if (mode != QWebEnginePage::FileSelectOpen && mode != QWebEnginePage::FileSelectOpenMultiple) {
        prompter().message("Pages may not save files or take whole folders in Tarnview.");
        return {};
    }
    const std::string chosen = prompter().chooseFile(
        {"Choose a file to upload", QDir::homePath().toStdString(), "", "All files (*)"});
    if (chosen.empty())
        return {};
    const QString path = QString::fromStdString(chosen);
    if (isProtectedPath(chosen, programFolder())) {
        prompter().message(ownPlaceRefusal(path, "given to a page"));
        return {};
    }
    return {path};
}

void TWebBrowser::Print() {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        prompter().message(
            "No printer is set up on this computer. Add a printer in the system settings and "
            "try again.");
        return;
    }
    // The engine prints asynchronously and needs the printer until it reports back.
    if (printer_)
        return;
    printer_ = std::make_unique<QPrinter>(printerInfo, QPrinter::HighResolution);
    print(printer_.get());
}

void TWebBrowser::SaveAs() {
    const SaveChooser& choose = saveChooser_ ? saveChooser_ : SaveChooser(defaultSaveChooser);
    const QString path = choose(this, QDir::home().filePath(suggestedFileName(LocationName())));
    if (path.isEmpty())
        return;
    if (isProtectedPath(path.toStdString(), programFolder())) {
        prompter().message("The page can not be saved to " +
                           QDir::toNativeSeparators(path).toStdString() +
                           ": that place holds Tarnview's settings, log or program files. Choose "
                           "another folder.");
        return;
    }
    // The engine drops a save it cannot write without a word, so an unusable folder is caught
    // here and a failure while writing by the watch.
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        reportSaveFailure(path);
        return;
    }
    watchSave(path);
    page_->save(path, formatFor(path));
}

void TWebBrowser::reportSaveFailure(const QString& path) {
    prompter().error("The page could not be saved to " +
                     QDir::toNativeSeparators(path).toStdString() + ".");
}

void TWebBrowser::watchSave(const QString& path) {
    disconnect(saveWatch_);
    saveWatch_ =
        connect(page_->profile(), &QWebEngineProfile::downloadRequested, this,
                [this, path](QWebEngineDownloadRequest* download) {
                    if (!download->isSavePageDownload() || download->page() != page_)
                        return;
                    disconnect(saveWatch_);
                    connect(download, &QWebEngineDownloadRequest::stateChanged, this,
                            [this, path](QWebEngineDownloadRequest::DownloadState state) {
                                if (state == QWebEngineDownloadRequest::DownloadInterrupted)
                                    reportSaveFailure(path);
                            });
                });
}

void TWebBrowser::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        for (const QWebEnginePage::WebAction developer : kDeveloperActions) {
            if (action == page_->action(developer))
                menu->removeAction(action);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace tarn
