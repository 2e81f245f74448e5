// Entering addresses, the pane buttons and tool menu, and the engine events of the panes.
#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

#include "app/main_form.h"
#include "app/url_combo_box.h"
#include "engine/web_browser.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "session/url_history.h"
#include "widgets/busy_indicator.h"

namespace tarn {

namespace {

// The address box of a pane as the history sees it.
class ComboHistoryBox : public HistoryBox {
  public:
    explicit ComboHistoryBox(QComboBox* box) : box_(box) {}
    int count() const override { return box_->count(); }
    std::string item(int index) const override { return box_->itemText(index).toStdString(); }
    void insertTop(const std::string& text) override {
        // The box's edit text is the address shown; inserting must not change it.
        const QSignalBlocker block(box_);
        const QString shown = box_->currentText();
        box_->insertItem(0, QString::fromStdString(text));
        box_->setCurrentIndex(-1);
        box_->setEditText(shown);
    }
    void removeLast() override { box_->removeItem(box_->count() - 1); }

  private:
    QComboBox* box_;
};

std::int64_t millisecondsOf(const Clock& clock) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock.now().time_since_epoch())
        .count();
}

}  // namespace

BrowserPane* TMainForm::paneOf(const TWebBrowser* browser) {
    for (BrowserPane& pane : Panes) {
        if (pane.browser == browser) {
            return &pane;
        }
    }
    return nullptr;
}

void TMainForm::wirePane(BrowserPane& pane) {
    connect(pane.url->lineEdit(), &QLineEdit::returnPressed, this,
            [this, &pane] { LeftTopURLKeyPress(pane); });
    connect(pane.url, &TUrlComboBox::DropDown, this, [&pane] { pane.listDropped = true; });
    connect(pane.url, &QComboBox::editTextChanged, this, [this, &pane] { LeftTopURLChange(pane); });
    connect(pane.url, &TUrlComboBox::Enter, this, [this, &pane] { LeftTopURLEnter(pane); });
    pane.statusBar->installEventFilter(this);
    connect(pane.backButton, &QToolButton::clicked, this, [&pane] { pane.browser->GoBack(); });
    connect(pane.forwardButton, &QToolButton::clicked, this,
            [&pane] { pane.browser->GoForward(); });
    connect(pane.stopButton, &QToolButton::clicked, this, [&pane] { pane.browser->Stop(); });
    connect(pane.refreshButton, &QToolButton::clicked, this,
            [this, &pane] { LeftTopRefreshBtnClick(pane); });
    connect(pane.popupButton, &QToolButton::clicked, this, [this, &pane] { LTPopupClick(pane); });
}

void TMainForm::wireBrowser(TWebBrowser* browser) {
    // The engine never opens a window: a pane's request goes through the new-window switch, the
    // hidden browser's into itself.
    connect(browser, &TWebBrowser::NewWindow, this,
            [this, browser](const QString& url, bool& Processed) {
                if (paneOf(browser)) {
                    WebBrowser1NewWindow(url, Processed);
                } else {
                    HiddenBrowserNewWindow(url, 0);
                    Processed = true;
                }
            });
    browser->setNavigationGate(
        [this, browser](const QUrl& url) { return passNavigation(browser, url); });
    connect(browser, &TWebBrowser::NavigationRefused, this,
            [this, browser](const QString& url, const QString& status, bool log) {
                WebBrowser1NavigationRefused(browser, url, status, log);
            });
    connect(browser, &TWebBrowser::FrameNavigationRefused, this,
            [this, browser](const QString& url, bool log) {
                if (log)
                    logRefusal(browser, url);
            });
    connect(browser, &TWebBrowser::BeforeNavigate, this,
            [this, browser](const QString& url, bool& Cancel) {
                WebBrowser1BeforeNavigate(browser, url, Cancel);
            });
    connect(browser, &TWebBrowser::FrameBeforeNavigate, this, [this, browser] {
        if (BrowserPane* pane = paneOf(browser)) {
            pane->stopButton->setEnabled(true);
            pane->statePanel->setText(QStringLiteral("Navigating..."));
        }
    });
    connect(browser, &TWebBrowser::NavigateComplete, this,
            [this, browser](const QString& url) { WebBrowser1NavigateComplete(browser, url); });
    connect(browser, &TWebBrowser::FrameNavigateComplete, this, [this, browser] {
        if (BrowserPane* pane = paneOf(browser)) {
            pane->statusPanel->clear();
            pane->statePanel->setText(QStringLiteral("Arrived OK"));
        }
    });
    connect(browser, &TWebBrowser::StatusTextChange, this, [this, browser](const QString& text) {
        if (BrowserPane* pane = paneOf(browser))
            pane->statusPanel->setText(text);
    });
    connect(browser, &TWebBrowser::TitleChange, this, &TMainForm::ShowStatus);
    connect(browser, &TWebBrowser::ProgressChange, this,
            [this, browser](int progress, int progressMax) {
                BrowserPane* pane = paneOf(browser);
                if (!pane)
                    return;
                if (progress < 0) {
                    pane->progressBar->setValue(0);
                    return;
                }
                pane->progressBar->setMaximum(progressMax);
                pane->progressBar->setValue(progress);
                pane->progressBar->repaint();
            });
    connect(browser, &TWebBrowser::CommandStateChange, this,
            [this, browser](int command, bool enable) {
                BrowserPane* pane = paneOf(browser);
                if (!pane)
                    return;
                if (command == 1)
                    pane->forwardButton->setEnabled(enable);
                if (command == 2)
                    pane->backButton->setEnabled(enable);
            });
    connect(browser, &TWebBrowser::DownloadBegin, this,
            [this, browser] { WebBrowser1DownloadBegin(browser); });
    connect(browser, &TWebBrowser::LoadAbandoned, this, [this, browser] {
        if (BrowserPane* pane = paneOf(browser); pane && pane->number == 1)
            session_->loadTiming().onLoadAbandoned();
    });
    connect(browser, &TWebBrowser::DownloadComplete, this,
            [this, browser] { WebBrowser1DownloadComplete(browser); });
}

void TMainForm::SetCurrentPane(int pane) {
    panes_->setCurrent(pane);
}

void TMainForm::navigatePane(BrowserPane& pane, const QString& address, int flags) {
    pane.browser->Navigate(address, flags);
}

void TMainForm::LeftTopURLKeyPress(BrowserPane& pane) {
    navigatePane(pane, pane.url->currentText());
    SetCurrentPane(pane.number);
    pane.browser->setFocus();
}

void TMainForm::LeftTopURLChange(BrowserPane& pane) {
    if (!pane.listDropped)
        return;
    SetCurrentPane(pane.number);
    pane.listDropped = false;
    navigatePane(pane, pane.url->currentText());
    pane.browser->setFocus();
}

void TMainForm::LeftTopRefreshBtnClick(BrowserPane& pane) {
    if (pane.browser->LocationURL().isEmpty()) {
        ShowStatus(QStringLiteral("Warning: can not refresh on Web%1..").arg(pane.number));
        return;
    }
    pane.browser->Refresh();
}

void TMainForm::LTPopupClick(BrowserPane& pane) {
    SetCurrentPane(pane.number);
    const std::string& key = session_->configKey();
    const PopupState state = session_->paneTimers().menuState(
        pane.number, readOkToAutoRefresh(key, pane.number), readOkToCycle(key, pane.number));
    StartAutomaticRefresh1->setEnabled(state.startRefresh);
    StopAutomaticRefresh1->setEnabled(state.stopRefresh);
    StartURLCycle1->setEnabled(state.startCycle);
    PauseMultipageCycling1->setEnabled(state.stopCycle);
    WebPopup->popup(QCursor::pos());
}

void TMainForm::Open1Click() {
    const std::string file =
        prompter_.chooseFile({"Open", QDir::currentPath().toStdString(), "*.htm",
                              "Web pages (*.htm *.html);;All files (*)"});
    if (!file.empty())
        navigatePane(Panes[panes_->current() - 1], QString::fromStdString(file),
                     TWebBrowser::NavAdmitted);
}

void TMainForm::SaveAs1Click() {
    Panes[panes_->current() - 1].browser->SaveAs();
}

void TMainForm::Print2Click() {
    Panes[panes_->current() - 1].browser->Print();
}

void TMainForm::GoHome1Click() {
    Panes[panes_->current() - 1].browser->GoHome();
}

void TMainForm::GoToSearchPage1Click() {
    Panes[panes_->current() - 1].browser->GoSearch();
}

void TMainForm::ClearHistory1Click() {
    QComboBox* box = Panes[panes_->current() - 1].url;
    const QSignalBlocker block(box);
    const QString shown = box->currentText();
    box->clear();
    box->setEditText(shown);
}

void TMainForm::WebBrowser1NavigationRefused(TWebBrowser* sender, const QString& url,
                                             const QString& status, bool log) {
    ShowStatus(status);
    if (log)
        logRefusal(sender, url);
}

void TMainForm::logRefusal(TWebBrowser* source, const QString& url) {
    const BrowserPane* pane = paneOf(source);
    const int sourceIndex = pane ? static_cast<int>(pane - Panes.data()) + 1 : 0;
    showLogFailure(
        session_->activityLog().refusal(session_->identity(), sourceIndex, url.toStdString()));
}

void TMainForm::logConnection(const char* event) {
    showLogFailure(session_->activityLog().connection(session_->identity(), event));
}

void TMainForm::showLogFailure(const std::optional<std::string>& failure) {
    if (failure)
        ShowStatus(QString::fromStdString(*failure));
}

void TMainForm::WebBrowser1BeforeNavigate(TWebBrowser* sender, const QString& url, bool&) {
    // The browser's policy has passed the address, after the navigation gate dialled if the
    // group dials on the first navigation.
    session_->noteNavigation();
    BrowserPane* pane = paneOf(sender);
    if (!pane)
        return;  // HiddenBrowser
    pane->stopButton->setEnabled(true);
    {
        const QSignalBlocker block(pane->url);
        pane->url->setEditText(url);
    }
    pane->statePanel->setText(QStringLiteral("Navigating..."));
    if (pane->number == 1)
        session_->loadTiming().onBeforeNavigate(millisecondsOf(clock_));
}

void TMainForm::MailLinkClicked(const QUrl& url) {
    HiddenBrowserNewWindow(url.toString(), TWebBrowser::NavOpenInNewWindow);
}

void TMainForm::WebBrowser1NavigateComplete(TWebBrowser* sender, const QString& url) {
    BrowserPane* pane = paneOf(sender);
    if (!pane)
        return;
    if (pane->number == 1)
        session_->loadTiming().onNavigateComplete(millisecondsOf(clock_));
    pane->statusPanel->clear();
    pane->statePanel->setText(QStringLiteral("Arrived OK"));
    AddToHistory(url, pane->number);
}

void TMainForm::WebBrowser1DownloadBegin(TWebBrowser* sender) {
    BrowserPane* pane = paneOf(sender);
    if (!pane)
        return;
    pane->stopButton->setEnabled(true);
    pane->animate->show();
    pane->animate->start();
    SetCurrentPane(pane->number);
    if (pane->number == 1)
        session_->loadTiming().onDownloadBegin(millisecondsOf(clock_));
}

void TMainForm::WebBrowser1DownloadComplete(TWebBrowser* sender) {
    BrowserPane* pane = paneOf(sender);
    if (!pane)
        return;
    pane->stopButton->setEnabled(false);
    pane->refreshButton->setEnabled(true);
    pane->animate->stop();
    pane->animate->hide();
    if (pane->number == 1)
        session_->loadTiming().onDownloadComplete(millisecondsOf(clock_));
}

void TMainForm::AddToHistory(const QString& address, int pane) {
    ComboHistoryBox b1(Panes[0].url), b2(Panes[1].url), b3(Panes[2].url), b4(Panes[3].url);
    const WindowConfig& config = session_->config();
    addToHistory({&b1, &b2, &b3, &b4}, address.toStdString(), pane, config.iUrlHistory,
                 config.iMaxHistoryEntries);
}

}  // namespace tarn
