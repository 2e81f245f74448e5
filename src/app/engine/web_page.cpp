#include "app/engine/web_page.h"

#include <algorithm>

namespace tarn {

TWebPage::TWebPage(QWebEngineProfile* profile, Decider decider, QObject* parent)
    : QWebEnginePage(profile, parent), decider_(std::move(decider)) {}

void TWebPage::triggerAction(WebAction action, bool checked) {
    if (std::ranges::find(kDeveloperActions, action) != kDeveloperActions.end())
        return;
    QWebEnginePage::triggerAction(action, checked);
}

bool TWebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    return decider_(url, isMainFrame);
}

}  // namespace tarn
