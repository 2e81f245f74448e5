#include "engine/profile_guard.h"

#include <QWebEngineProfile>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "engine/page_guard.h"
#include "engine/request_guard.h"

namespace tarn {

void guardProfile(QWebEngineProfile* profile, std::shared_ptr<const PolicySlot> policy) {
    profile->setUrlRequestInterceptor(new RequestGuard(std::move(policy), profile));
    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    profile->scripts()->insert(pageGuardScript());
}

}  // namespace tarn
