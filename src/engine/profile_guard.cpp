#include "engine/profile_guard.h"

#include <QWebEngineProfile>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "engine/connection_gate.h"
#include "engine/engine_hardening.h"
#include "engine/page_guard.h"
#include "engine/request_guard.h"

namespace tarn {

void guardProfile(QWebEngineProfile* profile, std::shared_ptr<const PolicySlot> policy) {
    if (ConnectionGate* gate = engineConnectionGate())
        gate->judgeWith(policy);
    profile->setUrlRequestInterceptor(new RequestGuard(std::move(policy), profile));
    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    profile->scripts()->insert(pageGuardScript());
}

}  // namespace tarn
