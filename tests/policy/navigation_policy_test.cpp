#include "policy/navigation_policy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tarn {
namespace {

constexpr char kOwnPages[] = "file:///opt/tarnview/";

std::shared_ptr<const NavigationPolicy> groupPolicy(std::vector<std::string> exclusions,
                                                    bool allowMail) {
    GroupLists lists;
    lists.ExclusionList = std::move(exclusions);
    return std::make_shared<const NavigationPolicy>(std::make_shared<const UrlFilter>(lists),
                                                    allowMail, kOwnPages);
}

struct PolicyCase {
    NavigationRequest request;
    FilterVerdict verdict;
    bool logged = false;
};

void expectDecisions(const NavigationPolicy& policy, std::initializer_list<PolicyCase> cases) {
    for (const PolicyCase& c : cases) {
        const FilterDecision decision = policy.decide(c.request);
        EXPECT_EQ(decision.verdict, c.verdict)
            << c.request.address << (c.request.mainFrame ? " (page)" : " (frame)");
        EXPECT_EQ(decision.log, c.logged) << c.request.address;
        if (c.verdict == FilterVerdict::Excluded) {
            EXPECT_EQ(decision.status, "excluding: " + std::string(c.request.address));
        }
    }
}

constexpr auto kPage = NavigationType::Typed;
constexpr auto kFrame = NavigationType::Other;

TEST(NavigationPolicyTest, TheGroupsListsJudgePagesAndFramesAndItsPermissionMailLinks) {
    const auto policy = groupPolicy({"bad.example"}, false);
    expectDecisions(
        *policy,
        {
            {{"http://good.example/", kPage}, FilterVerdict::Allowed},
            {{"https://good.example/", NavigationType::Link}, FilterVerdict::Allowed},
            {{"http://bad.example/", NavigationType::Link}, FilterVerdict::Excluded, true},
            {{"http://bad.example/", NavigationType::Redirect}, FilterVerdict::Excluded, true},
            {{"mailto:a@good.example", NavigationType::Link}, FilterVerdict::MailRefused, true},
            {{"http://good.example/", kFrame, false}, FilterVerdict::Allowed},
            {{"http://bad.example/", kFrame, false}, FilterVerdict::Excluded, true},
            {{"http://bad.example/", NavigationType::Redirect, false},
             FilterVerdict::Excluded,
             true},
        });
}

TEST(NavigationPolicyTest, AMailLinkCarriesOnlyRecipientsSubjectAndText) {
    const auto policy = groupPolicy({}, true);
    expectDecisions(
        *policy,
        {
            {{"mailto:a@good.example", NavigationType::Link}, FilterVerdict::Allowed},
            {{"mailto:a@good.example?To=b@good.example&cc=c@good.example&BCC=d@good.example&"
              "subject=Hi%20there&body=a=b%26attach=no",
              NavigationType::Link},
             FilterVerdict::Allowed},
            {{"mailto:a@good.example?subject=x&&body=", NavigationType::Link},
             FilterVerdict::Allowed},
            {{"mailto:x@example.org?attach=/home/u/.config/tarnview/user.hive&attachment="
              "file:///etc/passwd",
              NavigationType::Link},
             FilterVerdict::Excluded,
             true},
            {{"mailto:x@example.org?subject=hi&ATTACH=/etc/passwd", NavigationType::Link},
             FilterVerdict::Excluded,
             true},
            // The name as the mail program decodes it, after a second '?', or with no value.
            {{"mailto:x@example.org?%61ttach=/etc/passwd", NavigationType::Link},
             FilterVerdict::Excluded,
             true},
            {{"mailto:x@example.org?subject=hi?attach=/etc/passwd", NavigationType::Link},
             FilterVerdict::Excluded,
             true},
            {{"mailto:x@example.org?attach", NavigationType::Link}, FilterVerdict::Excluded, true},
            {{"MAILTO:x@example.org?In-Reply-To=%3Cid%3E", NavigationType::Link},
             FilterVerdict::Excluded,
             true},
        });
}

TEST(NavigationPolicyTest, TheDesktopGetsMailOrAnyPageOnlyWhileNoListIsInForce) {
    const auto open = groupPolicy({}, true);
    EXPECT_EQ(open->decideOutside("https://www.mozilla.org/").verdict, FilterVerdict::Allowed);
    EXPECT_EQ(open->decideOutside("javascript:alert(1)").verdict, FilterVerdict::Excluded);

    const auto listed = groupPolicy({"bad.example"}, true);
    const FilterDecision page = listed->decideOutside("https://www.mozilla.org/");
    EXPECT_EQ(page.verdict, FilterVerdict::Excluded);
    EXPECT_EQ(page.status, "excluding: https://www.mozilla.org/");
    EXPECT_TRUE(page.log);
    EXPECT_EQ(listed->decideOutside("Mailto:").verdict, FilterVerdict::Allowed);
    EXPECT_EQ(listed->decideOutside("mailto:a@bad.example").verdict, FilterVerdict::Excluded);
    EXPECT_EQ(groupPolicy({"bad.example"}, false)->decideOutside("Mailto:").verdict,
              FilterVerdict::MailRefused);

    GroupLists inclusion;
    inclusion.InclusionList = {"good.example"};
    const NavigationPolicy included(std::make_shared<const UrlFilter>(inclusion), true, kOwnPages);
    EXPECT_EQ(included.decideOutside("https://good.example/").verdict, FilterVerdict::Excluded);
    EXPECT_EQ(NavigationPolicy::signedOff("file:///opt/tarnview/blank.htm")
                  ->decideOutside("https://www.mozilla.org/")
                  .verdict,
              FilterVerdict::Excluded);
}

TEST(NavigationPolicyTest, PagesAreWebAddressesOwnPagesOrAdmittedOnesAndNothingElse) {
    const auto policy = groupPolicy({"bad.example"}, true);
    expectDecisions(
        *policy,
        {
            // What runs or carries a page instead of naming one, the engine's own pages, other
            // local files and whatever the desktop would hand to another program.
            {{"javascript:document.body.innerHTML='<iframe src=http://bad.example>'"},
             FilterVerdict::Excluded,
             true},
            {{"JavaScript:void(0)"}, FilterVerdict::Excluded, true},
            {{"data:text/html,<script>location='http://b'+'ad.example'</script>"},
             FilterVerdict::Excluded,
             true},
            {{"blob:http://good.example/5a1c"}, FilterVerdict::Excluded, true},
            {{"about:blank"}, FilterVerdict::Excluded, true},
            {{"file:///etc/passwd"}, FilterVerdict::Excluded, true},
            {{"chrome://settings"}, FilterVerdict::Excluded, true},
            {{"devtools://devtools/bundled/inspector.html"}, FilterVerdict::Excluded, true},
            {{"view-source:http://good.example/"}, FilterVerdict::Excluded, true},
            {{"view-source:file:///etc/passwd"}, FilterVerdict::Excluded, true},
            {{"tel:+15551234"}, FilterVerdict::Excluded, true},
            {{"irc://irc.example/chat"}, FilterVerdict::Excluded, true},
            {{"ssh://host.example"}, FilterVerdict::Excluded, true},
            {{"ftp://good.example/"}, FilterVerdict::Excluded, true},
            {{"mailto:a@good.example"}, FilterVerdict::Allowed},
            // The program's own pages, and nothing reached round them.
            {{"file:///opt/tarnview/blank.htm"}, FilterVerdict::Allowed},
            {{"file:///opt/tarnview/help/index.htm#topic"}, FilterVerdict::Allowed},
            {{"file:///opt/tarnview/../../etc/passwd"}, FilterVerdict::Excluded, true},
            {{"file:///opt/tarnview/%2e%2e/etc/passwd"}, FilterVerdict::Excluded, true},
            {{"file:///opt/tarnviewer/page.htm"}, FilterVerdict::Excluded, true},
            // Admitted addresses still pass the lists, and a script is never a page.
            {{"file:///home/kid/page.htm", kPage, true, true}, FilterVerdict::Allowed},
            {{"file:///home/kid/bad.example.htm", kPage, true, true},
             FilterVerdict::Excluded,
             true},
            {{"javascript:alert(1)", kPage, true, true}, FilterVerdict::Excluded, true},
        });
}

TEST(NavigationPolicyTest, FramesAlsoHoldWhatAPageBuildsButTheListsStillApply) {
    const auto policy = groupPolicy({"bad.example"}, true);
    expectDecisions(
        *policy,
        {
            {{"about:blank", kFrame, false}, FilterVerdict::Allowed},
            {{"about:srcdoc", kFrame, false}, FilterVerdict::Allowed},
            {{"data:text/html,<p>hello</p>", kFrame, false}, FilterVerdict::Allowed},
            {{"blob:http://good.example/5a1c", kFrame, false}, FilterVerdict::Allowed},
            {{"data:text/html,<a href=http://bad.example>x</a>", kFrame, false},
             FilterVerdict::Excluded,
             true},
            {{"blob:http://bad.example/5a1c", kFrame, false}, FilterVerdict::Excluded, true},
            {{"about:settings", kFrame, false}, FilterVerdict::Excluded, true},
            {{"javascript:1", kFrame, false}, FilterVerdict::Excluded, true},
            {{"file:///etc/passwd", kFrame, false}, FilterVerdict::Excluded, true},
            {{"mailto:a@good.example", kFrame, false}, FilterVerdict::Excluded, true},
            {{"tel:+15551234", kFrame, false}, FilterVerdict::Excluded, true},
        });
}

TEST(NavigationPolicyTest, RequestsPassTheExclusionsButNotTheInclusionList) {
    GroupLists lists;
    lists.ExclusionList = {"bad.example"};
    lists.WordList = {"casino"};
    lists.InclusionList = {"good.example"};
    const NavigationPolicy policy(std::make_shared<const UrlFilter>(lists), false, kOwnPages);
    EXPECT_TRUE(policy.allowsRequest("https://cdn.other.example/lib.js"));
    EXPECT_TRUE(policy.allowsRequest("http://good.example/img.png"));
    EXPECT_FALSE(policy.allowsRequest("http://bad.example/img.png"));
    EXPECT_FALSE(policy.allowsRequest("https://x@BAD.example./a"));
    EXPECT_FALSE(policy.allowsRequest("wss://cdn.other.example/Casino"));
    EXPECT_FALSE(policy.allowsRequest("http://cdn.other.example/%63asino"));

    const auto signedOff = NavigationPolicy::signedOff("file:///opt/tarnview/blank.htm");
    EXPECT_TRUE(signedOff->allowsRequest("file:///opt/tarnview/blank.htm"));
    EXPECT_FALSE(signedOff->allowsRequest("http://good.example/img.png"));
    EXPECT_FALSE(PolicySlot().allowsRequest("http://good.example/img.png"));
}

TEST(NavigationPolicyTest, ConnectionsPassTheExclusionsAsTheirHostAndPort) {
    GroupLists lists;
    lists.ExclusionList = {"bad.example", "http://relay.example", "10.0.0.7", "[::1]:3478"};
    lists.WordList = {"casino"};
    lists.InclusionList = {"good.example"};
    const NavigationPolicy policy(std::make_shared<const UrlFilter>(lists), false, kOwnPages);
    EXPECT_TRUE(policy.allowsConnection("cdn.other.example", 443));
    EXPECT_TRUE(policy.allowsConnection("::2", 3478));
    for (const auto& [host, port] : std::vector<std::pair<std::string, unsigned>>{
             {"bad.example", 3478},
             {"turn.BAD.example.", 443},
             // An entry that names a scheme still holds for a relay on its own port.
             {"relay.example", 5349},
             {"10.0.0.7", 80},
             {"::1", 3478},
             {"casino.other.example", 443},
             {"", 443}}) {
        EXPECT_FALSE(policy.allowsConnection(host, port)) << host << ":" << port;
    }
    EXPECT_FALSE(NavigationPolicy::signedOff("file:///opt/tarnview/blank.htm")
                     ->allowsConnection("good.example", 443));
    EXPECT_FALSE(PolicySlot().allowsConnection("good.example", 443));
}

TEST(NavigationPolicyTest, AnAdmittedAddressLastsUntilThePolicyIsReplaced) {
    PolicySlot slot(groupPolicy({}, false));
    const NavigationRequest file{"file:///home/kid/page.htm#top"};
    EXPECT_EQ(slot.decide(file).verdict, FilterVerdict::Excluded);
    slot.admit("file:///home/kid/page.htm");
    EXPECT_EQ(slot.decide(file).verdict, FilterVerdict::Allowed);
    EXPECT_EQ(slot.decide({"file:///home/kid/page.htm", kFrame, false}).verdict,
              FilterVerdict::Allowed);
    // Only that file, with no query added.
    EXPECT_EQ(slot.decide({"file:///home/kid/page.htm?x"}).verdict, FilterVerdict::Excluded);
    EXPECT_EQ(slot.decide({"file:///home/kid/other.htm"}).verdict, FilterVerdict::Excluded);
    // The next person starts with nothing admitted, even under the same lists.
    slot.replace(slot.current());
    EXPECT_EQ(slot.decide(file).verdict, FilterVerdict::Excluded);
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
