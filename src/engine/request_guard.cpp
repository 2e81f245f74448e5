#include "engine/request_guard.h"

#include <string>

namespace tarn {

RequestGuard::RequestGuard(std::shared_ptr<const PolicySlot> policy, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), policy_(std::move(policy)) {}

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const std::string address = info.requestUrl().toString().toStdString();
    bool allowed = false;
    if (policy_) {
        switch (info.resourceType()) {
            case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
            case QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadMainFrame:
                allowed = policy_->decide({address, NavigationType::Other, true}).verdict ==
                          FilterVerdict::Allowed;
                break;
            case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
            case QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadSubFrame:
                allowed = policy_->decide({address, NavigationType::Other, false}).verdict ==
                          FilterVerdict::Allowed;
                break;
            default:
                allowed = policy_->allowsRequest(address);
        }
    }
    info.block(!allowed);
}

}  // namespace tarn
