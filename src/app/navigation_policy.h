#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "app/url_filter.h"

namespace tarn {

// How a page came to ask for a navigation, as the engine tells it.
enum class NavigationType { Typed, Link, Form, BackForward, Reload, Redirect, Other };

struct NavigationRequest {
    std::string_view address;
    NavigationType type = NavigationType::Other;
    bool mainFrame = true;
};

// What the browsers may reach: asked for every navigation of every page, from whichever thread
// the engine asks on. A policy never changes once built; a new one replaces it whole.
class NavigationPolicy {
  public:
    // The signed-on group's lists and its mail-link permission. Groups share a filter between
    // sign-ons while their lists stay as they are.
    NavigationPolicy(std::shared_ptr<const UrlFilter> filter, bool allowMailLinks);

    // While nobody is signed on: the program's own blank page and nothing else.
    static std::shared_ptr<const NavigationPolicy> signedOff(std::string blankPage);

    FilterDecision decide(const NavigationRequest& request) const;

  private:
    NavigationPolicy() = default;

    std::shared_ptr<const UrlFilter> filter_;
    bool allowMailLinks_ = false;
    std::string onlyAddress_;  // without a filter, the one address allowed
};

// The refusal a page gives when it has no policy to ask.
FilterDecision refusedWithoutPolicy(std::string_view address);

// The one place the pages find the session's current policy. The session replaces the policy at
// each sign-on; pages read it on the engine's threads as well as the window's.
class PolicySlot {
  public:
    PolicySlot() = default;
    explicit PolicySlot(std::shared_ptr<const NavigationPolicy> policy);

    std::shared_ptr<const NavigationPolicy> current() const;
    void replace(std::shared_ptr<const NavigationPolicy> policy);

    // The current policy's decision; a refusal when there is none.
    FilterDecision decide(const NavigationRequest& request) const;

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const NavigationPolicy> policy_;
};

}  // namespace tarn
