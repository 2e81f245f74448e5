#include "engine/web_page.h"

#include <algorithm>

namespace tarn {
namespace {

tarn::NavigationType navigationType(QWebEnginePage::NavigationType type) {
    switch (type) {
        case QWebEnginePage::NavigationTypeLinkClicked:
            return tarn::NavigationType::Link;
        case QWebEnginePage::NavigationTypeTyped:
            return tarn::NavigationType::Typed;
        case QWebEnginePage::NavigationTypeFormSubmitted:
            return tarn::NavigationType::Form;
        case QWebEnginePage::NavigationTypeBackForward:
            return tarn::NavigationType::BackForward;
        case QWebEnginePage::NavigationTypeReload:
            return tarn::NavigationType::Reload;
        case QWebEnginePage::NavigationTypeRedirect:
            return tarn::NavigationType::Redirect;
        default:
            return tarn::NavigationType::Other;
    }
}

}  // namespace

TWebPage::TWebPage(QWebEngineProfile* profile, std::shared_ptr<const PolicySlot> policy,
                   Listener listener, FileChooser chooser, QObject* parent)
    : QWebEnginePage(profile, parent),
      policy_(std::move(policy)),
      listener_(std::move(listener)),
      chooser_(std::move(chooser)) {}

FilterDecision TWebPage::judge(const QUrl& url, tarn::NavigationType type, bool isMainFrame) const {
    const std::string address = url.toString().toStdString();
    if (!policy_) {
        return refusedWithoutPolicy(address);
    }
    return policy_->decide({address, type, isMainFrame});
}

void TWebPage::triggerAction(WebAction action, bool checked) {
    if (std::ranges::find(kDeveloperActions, action) != kDeveloperActions.end())
        return;
    QWebEnginePage::triggerAction(action, checked);
}

QStringList TWebPage::chooseFiles(FileSelectionMode mode, const QStringList&, const QStringList&) {
    return chooser_ ? chooser_(mode) : QStringList();
}

bool TWebPage::acceptNavigationRequest(const QUrl& url, QWebEnginePage::NavigationType type,
                                       bool isMainFrame) {
    const FilterDecision decision = judge(url, navigationType(type), isMainFrame);
    const bool proceed = listener_(url, isMainFrame, decision);
    return decision.verdict == FilterVerdict::Allowed && proceed;
}

}  // namespace tarn
