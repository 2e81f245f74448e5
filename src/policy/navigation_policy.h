#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "policy/url_filter.h"

namespace tarn {

// How a page came to ask for a navigation, as the engine tells it.
enum class NavigationType { Typed, Link, Form, BackForward, Reload, Redirect, Other };

struct NavigationRequest {
    std::string_view address;
    NavigationType type = NavigationType::Other;
    bool mainFrame = true;
    // The person chose the address (a local file through Open, a favourite) or the
    // configuration names it (a start or cycle address): it may use a scheme pages may not.
    bool admitted = false;
};

// What the browsers may reach: asked for every navigation of every page and frame, and for every
// other request a page makes, from whichever thread the engine asks on. A policy never changes
// once built; a new one replaces it whole.
//
// A page is web (http, https), one of the program's own pages, or admitted; a mail link goes to
// the lists like a page. Frames may also hold what a page builds itself (about:blank,
// about:srcdoc, data:, blob:). Everything else (scripts as addresses, other local files, the
// engine's internal pages, schemes the desktop would hand to another program) is refused as an
// excluded site.
class NavigationPolicy {
  public:
    // The signed-on group's lists and its mail-link permission. Groups share a filter between
    // sign-ons while their lists stay as they are. `ownPages` is the file address of the
    // program's folder, ending in '/'.
    NavigationPolicy(std::shared_ptr<const UrlFilter> filter, bool allowMailLinks,
                     std::string ownPages);

    // While nobody is signed on: the program's own blank page and nothing else.
    static std::shared_ptr<const NavigationPolicy> signedOff(std::string blankPage);

    FilterDecision decide(const NavigationRequest& request) const;
    // An address handed to the desktop: a mail link is judged as a page's would be, but
    // anything else opens in a browser no list governs, so only while no list is in force.
    FilterDecision decideOutside(std::string_view address) const;
    // A request of a page that is not a navigation (an image, a script, fetch, a socket): only
    // the exclusion entries and words apply, since pages need parts from other hosts.
    bool allowsRequest(std::string_view address) const;
    // A connection the engine opens, which may be one no request check sees (a peer
    // connection's relay): judged by the exclusions as a request to that host and port would
    // be. Refused while nobody is signed on.
    bool allowsConnection(std::string_view host, unsigned port) const;

  private:
    NavigationPolicy() = default;
    bool ownPage(std::string_view address) const;

    std::shared_ptr<const UrlFilter> filter_;
    bool allowMailLinks_ = false;
    std::string ownPages_;
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
    // The addresses admitted go with the policy they were admitted under.
    void replace(std::shared_ptr<const NavigationPolicy> policy);

    // Admits `address` (its fragment aside) until the policy is replaced. Const: admitting
    // changes what one person chose, not who decides.
    void admit(std::string_view address) const;

    // The current policy's decision; a refusal when there is none.
    FilterDecision decide(NavigationRequest request) const;
    FilterDecision decideOutside(std::string_view address) const;
    bool allowsRequest(std::string_view address) const;
    bool allowsConnection(std::string_view host, unsigned port) const;

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const NavigationPolicy> policy_;
    mutable std::set<std::string, std::less<>> admitted_;
};

}  // namespace tarn
