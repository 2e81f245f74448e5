#include "policy/navigation_policy.h"

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
    const bool page = scheme == "http" || scheme == "https" || request.admitted;
    if (page || (request.mainFrame && scheme == "mailto"))
        return filter_->check(address, allowMailLinks_);
    if (!request.mainFrame && pageMadeFrame(address, scheme))
        return filter_->excludes(address) ? excludedSite(address) : FilterDecision{};
    return excludedSite(address);
}

bool NavigationPolicy::allowsRequest(std::string_view address) const {
    return filter_ ? !filter_->excludes(address) : address == onlyAddress_;
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

bool PolicySlot::allowsRequest(std::string_view address) const {
    const auto policy = current();
    return policy && policy->allowsRequest(address);
}

}  // namespace tarn
