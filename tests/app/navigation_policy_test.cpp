#include "app/navigation_policy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tarn {
namespace {

std::shared_ptr<const NavigationPolicy> groupPolicy(std::vector<std::string> exclusions,
                                                    bool allowMail) {
    GroupLists lists;
    lists.ExclusionList = std::move(exclusions);
    return std::make_shared<const NavigationPolicy>(std::make_shared<const UrlFilter>(lists),
                                                    allowMail);
}

TEST(NavigationPolicyTest, TheGroupsListsJudgePagesAndItsPermissionMailLinks) {
    const auto policy = groupPolicy({"bad.example"}, false);
    struct Case {
        NavigationRequest request;
        FilterVerdict verdict;
    };
    const Case cases[] = {
        {{"http://good.example/", NavigationType::Typed, true}, FilterVerdict::Allowed},
        {{"http://bad.example/", NavigationType::Link, true}, FilterVerdict::Excluded},
        {{"http://bad.example/", NavigationType::Redirect, true}, FilterVerdict::Excluded},
        {{"mailto:a@good.example", NavigationType::Link, true}, FilterVerdict::MailRefused},
        // The lists judge the pages the panes show; a frame loads what its page names.
        {{"http://bad.example/", NavigationType::Other, false}, FilterVerdict::Allowed},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(policy->decide(c.request).verdict, c.verdict) << c.request.address;
    }
}

TEST(NavigationPolicyTest, SignedOffOnlyTheBlankPageLoads) {
    const auto policy = NavigationPolicy::signedOff("file:///opt/tarnview/blank.htm");
    EXPECT_EQ(policy->decide({"file:///opt/tarnview/blank.htm"}).verdict, FilterVerdict::Allowed);
    // Only that very address: not another file beside it, nor the same name in other letters
    // or reached round a "..", nor the page with something added.
    for (const char* address :
         {"http://good.example/", "file:///opt/tarnview/other.htm",
          "file:///opt/tarnview/blank.htm?x", "file:///opt/tarnview/BLANK.HTM",
          "file:///opt/other/../tarnview/blank.htm", "about:blank",
          "javascript:location='http://good.example/'", "data:text/html,blank.htm"}) {
        const FilterDecision decision = policy->decide({address});
        EXPECT_EQ(decision.verdict, FilterVerdict::Excluded) << address;
        EXPECT_EQ(decision.status, std::string("excluding: ") + address);
        EXPECT_FALSE(decision.log) << address;
        EXPECT_EQ(policy->decide({address, NavigationType::Other, false}).verdict,
                  FilterVerdict::Excluded)
            << "frames too: " << address;
    }
}

TEST(NavigationPolicyTest, AnEmptySlotRefusesAndAReplacedPolicyIsSeenWholeOnEveryThread) {
    PolicySlot slot;
    EXPECT_EQ(slot.decide({"http://good.example/"}).verdict, FilterVerdict::Excluded);

    // Readers on other threads always find a whole policy, the old one or the new one.
    const auto strict = groupPolicy({"example"}, false);
    const auto lenient = groupPolicy({}, true);
    slot.replace(strict);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::atomic<long> reads{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i) {
        readers.emplace_back([&] {
            while (!stop) {
                const auto policy = slot.current();
                const auto page = policy ? policy->decide({"http://good.example/"}).verdict
                                         : FilterVerdict::Allowed;
                const bool whole = (policy == strict && page == FilterVerdict::Excluded) ||
                                   (policy == lenient && page == FilterVerdict::Allowed);
                if (!whole)
                    ++wrong;
                ++reads;
            }
        });
    }
    // Replaced while the readers read, until they have read a good many times.
    for (int round = 0; round < 2000 || reads < 20000; ++round)
        slot.replace(round % 2 == 0 ? lenient : strict);
    slot.replace(lenient);
    stop = true;
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(slot.current(), lenient);
}

}  // namespace
}  // namespace tarn
