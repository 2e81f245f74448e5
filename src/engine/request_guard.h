#pragma once

#include <QWebEngineUrlRequestInterceptor>
#include <memory>

#include "policy/navigation_policy.h"

namespace tarn {

// Puts every request of a profile to the session's policy before it leaves: those of pages and
// frames as navigations, everything else (images, scripts, fetch, sockets, a service worker's
// own fetches, downloads) to the exclusions alone. Refused requests fail quietly; the
// navigations among them have been reported by the page that asked.
class RequestGuard : public QWebEngineUrlRequestInterceptor {
  public:
    RequestGuard(std::shared_ptr<const PolicySlot> policy, QObject* parent);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

  private:
    std::shared_ptr<const PolicySlot> policy_;
};

}  // namespace tarn
