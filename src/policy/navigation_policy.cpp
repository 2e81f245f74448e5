#include "policy/navigation_policy.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/ascii_case.h"
#include "policy/address_parts.h"

namespace tarn {
namespace {

FilterDecision excludedSite(std::string_view address) {
    return {FilterVerdict::Excluded, "excluding: " + std::string(address), true};
}

std::string_view withoutFragment(std::string_view address) {
    return address.substr(0, address.find('#'));
}

// What a page builds inside itself rather than fetches: allowed in frames only.
bool pageMadeFrame(std::string_view address, std::string_view scheme) {
    if (scheme == "data" || scheme == "blob")
        return true;
    const std::string_view page = address.substr(0, address.find_first_of("?#"));
    return equalsIgnoringCase(page, "about:blank") || equalsIgnoringCase(page, "about:srcdoc");
}

// A field's name as a mail program reads it, escapes decoded.
std::string fieldName(std::string_view field) {
    return percentDecoded(field.substr(0, field.find('=')));
}

// A mail link may carry a message's recipients, subject and text; anything else (files to
// attach, headers to add) would have the mail program send more than the person wrote.
bool carriesOnlyAMessage(std::string_view address) {
    const size_t query = address.find('?');
    if (query == std::string_view::npos)
        return true;
    std::string_view rest = address.substr(query + 1);
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("&?");
        const std::string_view field = rest.substr(0, end);
        if (!field.empty()) {
            const std::string name = fieldName(field);
            const bool messagePart = std::ranges::any_of(
                std::array{"to", "cc", "bcc", "subject", "body"},
                [&](const char* allowed) { return equalsIgnoringCase(name, allowed); });
            if (!messagePart)
                return false;
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return true;
}

}  // namespace

NavigationPolicy::NavigationPolicy(std::shared_ptr<const UrlFilter> filter, bool allowMailLinks,
                                   std::string ownPages)
    : filter_(std::move(filter)), allowMailLinks_(allowMailLinks), ownPages_(std::move(ownPages)) {}

std::shared_ptr<const NavigationPolicy> NavigationPolicy::signedOff(std::string blankPage) {
    std::shared_ptr<NavigationPolicy> policy(new NavigationPolicy());
    policy->onlyAddress_ = std::move(blankPage);
    return policy;
}

bool NavigationPolicy::ownPage(std::string_view address) const {
    if (ownPages_.empty() || !address.starts_with(ownPages_))
        return false;
    // Nothing that could lead out of the folder once resolved.
    const std::string_view rest = withoutFragment(address.substr(ownPages_.size()));
    return rest.find("..") == std::string_view::npos &&
           rest.find_first_of("%\\?") == std::string_view::npos;
}

FilterDecision NavigationPolicy::decide(const NavigationRequest& request) const {
    const std::string_view address = request.address;
    if (!filter_) {
        return address == onlyAddress_ ? FilterDecision{} : refusedWithoutPolicy(address);
    }
    if (ownPage(address))
        return {};
    const std::string scheme = schemeOf(address);
    // A script address runs in the page it is given to: it names no page to judge.
    if (scheme == "javascript")
        return excludedSite(address);
    if (scheme == "mailto" && !carriesOnlyAMessage(address))
        return excludedSite(address);
    const bool page = scheme == "http" || scheme == "https" || request.admitted;
    if (page || (request.mainFrame && scheme == "mailto"))
        return filter_->check(address, allowMailLinks_);
    if (!request.mainFrame && pageMadeFrame(address, scheme))
        return filter_->excludes(address) ? excludedSite(address) : FilterDecision{};
    return excludedSite(address);
}

FilterDecision NavigationPolicy::decideOutside(std::string_view address) const {
    const FilterDecision decision = decide({address, NavigationType::Typed, true});
    if (decision.verdict != FilterVerdict::Allowed || schemeOf(address) == "mailto")
        return decision;
    return filter_ && filter_->restricts() ? excludedSite(address) : decision;
}

bool NavigationPolicy::allowsRequest(std::string_view address) const {
    return filter_ ? !filter_->excludes(address) : address == onlyAddress_;
}

bool NavigationPolicy::allowsConnection(std::string_view host, unsigned port) const {
    if (!filter_ || host.empty())
        return false;
    // An IPv6 address is written in brackets. The filter's plain forms also try the address
    // without its port and, where an entry names a scheme, as "http".
    const std::string name = host.find(':') == std::string_view::npos
                                 ? std::string(host)
                                 : "[" + std::string(host) + "]";
    return !filter_->excludes("https://" + name + ":" + std::to_string(port) + "/");
}

FilterDecision refusedWithoutPolicy(std::string_view address) {
    return {FilterVerdict::Excluded, "excluding: " + std::string(address), false};
}

PolicySlot::PolicySlot(std::shared_ptr<const NavigationPolicy> policy)
    : policy_(std::move(policy)) {}

std::shared_ptr<const NavigationPolicy> PolicySlot::current() const {
    const std::lock_guard lock(mutex_);
    return policy_;
}

void PolicySlot::replace(std::shared_ptr<const NavigationPolicy> policy) {
    std::set<std::string, std::less<>> admitted;
    {
        const std::lock_guard lock(mutex_);
        policy_.swap(policy);
        admitted_.swap(admitted);
    }
    // The old policy is freed here, after the lock: a million-line filter takes a while to
    // free, and readers need not wait for it.
}

void PolicySlot::admit(std::string_view address) const {
    const std::lock_guard lock(mutex_);
    admitted_.emplace(withoutFragment(address));
}

FilterDecision PolicySlot::decide(NavigationRequest request) const {
    std::shared_ptr<const NavigationPolicy> policy;
    {
        const std::lock_guard lock(mutex_);
        policy = policy_;
        request.admitted = admitted_.contains(withoutFragment(request.address));
    }
    return policy ? policy->decide(request) : refusedWithoutPolicy(request.address);
}

FilterDecision PolicySlot::decideOutside(std::string_view address) const {
    const auto policy = current();
    return policy ? policy->decideOutside(address) : refusedWithoutPolicy(address);
}

bool PolicySlot::allowsRequest(std::string_view address) const {
    const auto policy = current();
    return policy && policy->allowsRequest(address);
}

bool PolicySlot::allowsConnection(std::string_view host, unsigned port) const {
    const auto policy = current();
    return policy && policy->allowsConnection(host, port);
}

}  // namespace tarn
