#include "engine/web_browser.h"

#include <QPrinter>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <utility>

#include "engine/profile_guard.h"
#include "engine/web_page.h"
#include "platform/launcher.h"
#include "platform/program_folder.h"

namespace tarn {

TWebBrowser::TWebBrowser(std::shared_ptr<const PolicySlot> policy, QWidget* parent)
    : QWebEngineView(parent), policy_(std::move(policy)), homeUrl_(blankPageUrl()) {
    connect(this, &QWebEngineView::printFinished, this, [this](bool ok) {
        printer_.reset();
        if (!ok)
            prompter().error("The page could not be printed.");
    });
    ownProfile_ = new QWebEngineProfile(this);
    guardProfile(ownProfile_, policy_);
    setProfile(ownProfile_);
}

TWebBrowser::~TWebBrowser() {
    // The page goes before any profile, its own included.
    delete page_;
}

QWebEngineProfile* TWebBrowser::profile() const {
    return page_->profile();
}

void TWebBrowser::setProfile(QWebEngineProfile* profile) {
    // The view owns its pages itself, without a QObject parent, so the page goes exactly when
    // it is replaced and always before the profile.
    TWebPage* old = page_;
    page_ = new TWebPage(
        profile, policy_,
        [this](const QUrl& url, bool isMainFrame, const FilterDecision& decision) {
            return guarded([&] { return decide(url, isMainFrame, decision); }, false);
        },
        [this](QWebEnginePage::FileSelectionMode mode) {
            return guarded([&] { return chooseUpload(mode); }, QStringList());
        });
    connect(page_, &QWebEnginePage::loadingChanged, this, &TWebBrowser::onLoadingChanged);
    connect(page_, &QWebEnginePage::loadProgress, this, &TWebBrowser::onLoadProgress);
    connect(page_, &QWebEnginePage::newWindowRequested, this, &TWebBrowser::onNewWindow);
    connect(page_, &QWebEnginePage::titleChanged, this, &TWebBrowser::TitleChange);
    connect(page_, &QWebEnginePage::urlChanged, this, &TWebBrowser::reportCommandState);
    connect(page_, &QWebEnginePage::linkHovered, this, &TWebBrowser::StatusTextChange);
    // PDFs show in the pane with the engine's own viewer, which needs plugins on; Qt's engine
    // has no other plugin to run.
    page_->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    page_->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    setPage(page_);
    loadActive_ = false;
    refusalPending_ = false;
    refusedLoads_.clear();
    frameNavigations_.clear();
    delete old;
    if (ownProfile_ && profile != ownProfile_) {
        delete ownProfile_;
        ownProfile_ = nullptr;
    }
}

void TWebBrowser::Navigate(const QString& url, int flags) {
    if (url.trimmed().isEmpty())
        return;
    const QUrl target = QUrl::fromUserInput(url);
    if ((flags & NavAdmitted) && !mayOpenLocally(target))
        return;
    if (flags & NavAdmitted)
        Admit(url);
    if (flags & NavOpenInNewWindow) {
        openOutside(target);
        return;
    }
    // Some addresses never reach the page's own check: a script address runs in the page
    // that is showing.
    const FilterDecision decision = page_->judge(target, NavigationType::Typed, true);
    if (decision.verdict != FilterVerdict::Allowed) {
        refused(target, decision);
        return;
    }
    page_->load(target);
}

void TWebBrowser::Admit(const QString& url) {
    if (policy_)
        policy_->admit(QUrl::fromUserInput(url).toString().toStdString());
}

void TWebBrowser::openOutside(const QUrl& url) {
    // The platform's browser and mail program are past the supervision: they get only what
    // this browser's policy allows to leave it.
    const std::string address = url.toString().toStdString();
    const FilterDecision decision =
        policy_ ? policy_->decideOutside(address) : refusedWithoutPolicy(address);
    if (decision.verdict != FilterVerdict::Allowed) {
        refused(url, decision);
        return;
    }
    bool cancel = false;
    emit BeforeNavigate(url.toString(), cancel);
    if (!cancel && launcher_)
        launcher_->openUrl(url.toString().toStdString());
}

void TWebBrowser::GoBack() {
    page_->triggerAction(QWebEnginePage::Back);
}

void TWebBrowser::GoForward() {
    page_->triggerAction(QWebEnginePage::Forward);
}

void TWebBrowser::GoHome() {
    // The home page is the pane's start address, which the configuration names.
    Navigate(homeUrl_, NavAdmitted);
}

void TWebBrowser::GoSearch() {
    Navigate(searchUrl_);
}

void TWebBrowser::Refresh() {
    page_->triggerAction(QWebEnginePage::Reload);
}

void TWebBrowser::Stop() {
    page_->triggerAction(QWebEnginePage::Stop);
}

QString TWebBrowser::LocationURL() const {
    return page_->url().toString();
}

QString TWebBrowser::LocationName() const {
    return page_->title();
}

bool TWebBrowser::refused(const QUrl& url, const FilterDecision& decision) {
    emit NavigationRefused(url.toString(), QString::fromStdString(decision.status), decision.log);
    return false;
}

bool TWebBrowser::decide(const QUrl& url, bool isMainFrame, const FilterDecision& decision) {
    if (decision.verdict != FilterVerdict::Allowed && !isMainFrame) {
        emit FrameNavigationRefused(url.toString(), decision.log);
        return false;
    }
    if (gate_ && !gate_(url)) {
        refusalPending_ = true;
        refusedUrl_ = url;
        return false;
    }
    if (decision.verdict != FilterVerdict::Allowed) {
        refusalPending_ = true;
        refusedUrl_ = url;
        return refused(url, decision);
    }
    if (!isMainFrame) {
        // A frame the policy allows is reported, never refused by the window. The engine tells
        // when a frame is done only as part of the page's own load, so a frame that navigates
        // later gets no completion.
        if (loadActive_)
            frameNavigations_.append(url);
        emit FrameBeforeNavigate(url.toString());
        return true;
    }
    // The engine hands a mail link to the desktop's handler, which is the window's: nothing
    // loads in this view, so it is no navigation of the view's.
    if (url.scheme() == QStringLiteral("mailto"))
        return true;
    bool cancel = false;
    emit BeforeNavigate(url.toString(), cancel);
    refusalPending_ = cancel;
    refusedUrl_ = cancel ? url : QUrl();
    return !cancel;
}

void TWebBrowser::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        if (refusalPending_ && info.url() == refusedUrl_) {
            refusalPending_ = false;
            refusedLoads_.insert(info.url());
            return;
        }
        if (loadActive_)
            return;
        loadActive_ = true;
        emit DownloadBegin();
        return;
    }
    if (refusedLoads_.remove(info.url()) || !loadActive_)
        return;
    loadActive_ = false;
    // The engine's error page, and a server's own page for an HTTP error such as 404, count as
    // reached: each is what the pane now shows for that address.
    const bool failedWithPage =
        info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
        (info.isErrorPage() || info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain);
    const bool reached =
        info.status() == QWebEngineLoadingInfo::LoadSucceededStatus || failedWithPage;
    if (reached)
        emit NavigateComplete(info.url().toString());
    else
        emit LoadAbandoned();
    const QList<QUrl> frames = std::exchange(frameNavigations_, {});
    for (const QUrl& frame : frames)
        emit FrameNavigateComplete(frame.toString());
    emit ProgressChange(-1, 100);
    emit DownloadComplete();
    reportCommandState();
}

void TWebBrowser::onLoadProgress(int progress) {
    if (loadActive_)
        emit ProgressChange(progress, 100);
}

void TWebBrowser::onNewWindow(QWebEngineNewWindowRequest& request) {
    // The window decides what a new-window request becomes; the engine never opens one itself,
    // so the request is left unanswered whatever Processed says.
    guarded(
        [&] {
            bool processed = false;
            emit NewWindow(request.requestedUrl().toString(), processed);
            return true;
        },
        false);
}

void TWebBrowser::reportLater(const std::string& failure) {
    // Not from inside the engine's call: a message box there would run the event loop in it.
    QTimer::singleShot(0, this, [this, failure] { prompter().error(failure); });
}

void TWebBrowser::reportCommandState() {
    emit CommandStateChange(CommandForward, page_->history()->canGoForward());
    emit CommandStateChange(CommandBack, page_->history()->canGoBack());
}

Prompter& TWebBrowser::prompter() {
    return prompter_ ? *prompter_ : boxes_;
}

}  // namespace tarn
