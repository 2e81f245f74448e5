#include "engine/request_guard.h"

#include <string>
#include <string_view>

namespace tarn {

namespace {

// The engine shows a PDF in a viewer of its own, a page it loads from its built-in extension in
// a view of its own that no page's check sees. A page can not open it itself: its navigations
// there are refused as engine pages.
constexpr std::string_view kPdfViewer = "chrome-extension://mhjfbmdgcfjbbpaeojofohoefgiehjai/";

}  // namespace

RequestGuard::RequestGuard(std::shared_ptr<const PolicySlot> policy, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), policy_(std::move(policy)) {}

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    const std::string address = info.requestUrl().toString().toStdString();
    bool allowed = false;
    if (policy_ && address.starts_with(kPdfViewer)) {
        allowed = true;
    } else if (policy_) {
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
