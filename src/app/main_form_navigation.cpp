// The engine events of the panes.
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include "app/engine/web_browser.h"
#include "app/main_form.h"

namespace tarn {

BrowserPane* TMainForm::paneOf(const QObject* sender) {
    for (BrowserPane& pane : Panes) {
        if (pane.browser == sender)
            return &pane;
    }
    return nullptr;
}

void TMainForm::WebBrowser1BeforeNavigate(TWebBrowser* sender, const QString& url, bool& Cancel) {
    Q_UNUSED(Cancel);
    BrowserPane* pane = paneOf(sender);
    if (!pane)
        return;  // HiddenBrowser
    pane->stopButton->setEnabled(true);
    pane->url->setEditText(url);
    pane->statusBar->findChild<QLabel*>(QStringLiteral("StatusBar%1Panel2").arg(pane->number))
        ->setText(QStringLiteral("Navigating..."));
}

}  // namespace tarn
