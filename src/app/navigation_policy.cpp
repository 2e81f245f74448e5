#include "app/navigation_policy.h"

#include <utility>

namespace tarn {

NavigationPolicy::NavigationPolicy(std::shared_ptr<const UrlFilter> filter, bool allowMailLinks)
    : filter_(std::move(filter)), allowMailLinks_(allowMailLinks) {}

std::shared_ptr<const NavigationPolicy> NavigationPolicy::signedOff(std::string blankPage) {
    std::shared_ptr<NavigationPolicy> policy(new NavigationPolicy());
    policy->onlyAddress_ = std::move(blankPage);
    return policy;
}

FilterDecision NavigationPolicy::decide(const NavigationRequest& request) const {
    if (!filter_) {
        return request.address == onlyAddress_ ? FilterDecision{}
                                               : refusedWithoutPolicy(request.address);
    }
    // Frames load whatever their page names; the lists judge the pages the panes show.
    if (!request.mainFrame) {
        return {};
    }
    return filter_->check(request.address, allowMailLinks_);
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
    const std::lock_guard lock(mutex_);
    // The old policy is freed with the argument, after the lock: a million-line filter takes a
    // while to free, and readers need not wait for it.
    policy_.swap(policy);
}

FilterDecision PolicySlot::decide(const NavigationRequest& request) const {
    const auto policy = current();
    return policy ? policy->decide(request) : refusedWithoutPolicy(request.address);
}

}  // namespace tarn
