#include "policy/url_filter.h"
#include "platform/ascii_case.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <set>

namespace tarn {

void PrintTo(const FilterDecision& d, std::ostream* os) {
    static const char* const kVerdicts[] = {"Allowed", "MailRefused", "Excluded", "NotIncluded"};
    *os << "{" << kVerdicts[static_cast<int>(d.verdict)] << ", \"" << d.status << "\", "
        << (d.log ? "logged" : "not logged") << "}";
}

namespace {

const FilterDecision kAllowed{};
const FilterDecision kMail{FilterVerdict::MailRefused, "email links have been disabled..", true};

FilterDecision excluded(const std::string& address) {
    return {FilterVerdict::Excluded, "excluding: " + address, true};
}
FilterDecision notIncluded(const std::string& address) {
    return {FilterVerdict::NotIncluded, "excluding: " + address, false};
}

struct FilterCase {
    const char* name;
    GroupLists lists;
    std::string address;
    bool allowMail;
    FilterDecision expected;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

class UrlFilterTable : public ::testing::TestWithParam<FilterCase> {};

// The filter's image in memory aligned as a mapping is, kept alive by the filter read from it.
std::shared_ptr<std::vector<uint64_t>> imageOf(const UrlFilter& filter) {
    std::string bytes;
    filter.writeImage([&](std::string_view piece) { bytes += piece; });
    auto words = std::make_shared<std::vector<uint64_t>>((bytes.size() + 7) / 8);
    std::memcpy(words->data(), bytes.data(), bytes.size());
    EXPECT_EQ(bytes.size() % 8, 0u);
    return words;
}

std::string_view bytesOf(const std::vector<uint64_t>& words) {
    return {reinterpret_cast<const char*>(words.data()), words.size() * 8};
}

TEST_P(UrlFilterTable, Decides) {
    const FilterCase& c = GetParam();
    const UrlFilter filter(c.lists);
    EXPECT_EQ(filter.check(c.address, c.allowMail), c.expected);
    const auto image = imageOf(filter);
    const auto readBack = UrlFilter::fromImage(bytesOf(*image), image);
    ASSERT_NE(readBack, nullptr);
    EXPECT_EQ(readBack->check(c.address, c.allowMail), c.expected) << "read back from its image";
}

GroupLists excl(std::vector<std::string> entries) {
    return {std::move(entries), {}, {}};
}
GroupLists incl(std::vector<std::string> entries) {
    return {{}, std::move(entries), {}};
}
GroupLists words(std::vector<std::string> entries) {
    return {{}, {}, std::move(entries)};
}

const std::string kMixed = "http://www.School.org/games/";

const FilterCase kCases[] = {
    {"NoListsAllowAll", {}, "http://anything.example/", false, kAllowed},
    {"FewLettersInsideHostName", excl({"ad"}), "http://www.shadow.org/", false,
     excluded("http://www.shadow.org/")},
    {"FewLettersInsidePath", excl({"xx"}), "http://a.org/boxxes", false,
     excluded("http://a.org/boxxes")},
    {"ExclusionIgnoresCase", excl({"Evil.COM"}), "http://EVIL.com/x", false,
     excluded("http://EVIL.com/x")},
    {"ExclusionNoMatch", excl({"evil.com"}), "http://good.org/", false, kAllowed},
    {"WordRefuses", words({"poker"}), "http://x.org/Poker-Night", false,
     excluded("http://x.org/Poker-Night")},
    {"LaterEntryStillRefuses", excl({"aaa", "bbb", "ccc"}), "http://ccc.org/", false,
     excluded("http://ccc.org/")},
    // Mail links: any letter case, anywhere, whatever the lists hold.
    {"MailtoScheme", {}, "mailto:bob@x.org", false, kMail},
    {"MailtoAnyCase", {}, "MaIlTo:bob@x.org", false, kMail},
    {"MailtoInsidePath", {}, "http://x.org/?next=mailto", false, kMail},
    {"MailtoBeatsInclusion", incl({"mailto"}), "mailto:bob@x.org", false, kMail},
    {"MailtoBeatsExclusion", excl({"bob"}), "mailto:bob@x.org", false, kMail},
    {"MailAllowedPasses", {}, "mailto:bob@x.org", true, kAllowed},
    {"MailAllowedStillExcluded", excl({"bob@"}), "mailto:bob@x.org", true,
     excluded("mailto:bob@x.org")},
    {"MailAllowedStillNeedsInclusion", incl({"school.org"}), "mailto:bob@x.org", true,
     notIncluded("mailto:bob@x.org")},
    // Inclusion.
    {"InclusionAdmits", incl({"School.ORG"}), "http://www.school.org/a", false, kAllowed},
    {"InclusionOnlyRefusalNotLogged", incl({"school.org"}), "http://Other.com/x", false,
     notIncluded("http://Other.com/x")},
    {"AnyInclusionEntryAdmits", incl({"aaa.org", "bbb.org"}), "http://bbb.org/", false, kAllowed},
    {"ExclusionBeatsInclusion", {{"games"}, {"school.org"}, {}}, kMixed, false, excluded(kMixed)},
    {"WordBeatsInclusion", {{}, {"school.org"}, {"GAMES"}}, kMixed, false, excluded(kMixed)},
    // Empty entries never match.
    {"EmptyExclusionEntry", excl({""}), "http://a.org/", false, kAllowed},
    {"EmptyWord", words({""}), "http://a.org/", false, kAllowed},
    {"EmptyInclusionEntryBesideOthers", incl({"", "school"}), "http://other.org/", false,
     notIncluded("http://other.org/")},
    {"InclusionOfOnlyEmptyEntriesAdmitsNothing", incl({""}), "http://a.org/", false,
     notIncluded("http://a.org/")},
    // Escaped letters.
    {"EscapedWord", words({"badword"}), "http://x.org/%62adword", false,
     excluded("http://x.org/%62adword")},
    {"DoubleEscapedWord", words({"badword"}), "http://x.org/%2562adword", false,
     excluded("http://x.org/%2562adword")},
    {"TripleEscapedLowerHex", words({"badword"}), "http://x.org/bad%25252577ord", false,
     excluded("http://x.org/bad%25252577ord")},
    {"EscapedDotInHost", excl({"evil.com"}), "http://evil%2Ecom/", false,
     excluded("http://evil%2Ecom/")},
    {"EscapedLetterOfHost", excl({"evil.com"}), "http://%45vil.com/", false,
     excluded("http://%45vil.com/")},
    {"EscapesOfOtherBytesAroundAnEscapedLetter", words({"badword"}),
     "http://x.org/%20%C3%A9%62adword%20", false, excluded("http://x.org/%20%C3%A9%62adword%20")},
    {"EntryWithEscapeMatchesAsGiven", excl({"a%20b"}), "http://x.org/a%20b", false,
     excluded("http://x.org/a%20b")},
    {"MalformedEscapesKept", excl({"%4"}), "http://x.org/%4", false, excluded("http://x.org/%4")},
    {"MalformedEscapeNoMatch", words({"badword"}), "http://x.org/%G2adword%", false, kAllowed},
    {"DecodingNeverAdmits", incl({"school"}), "http://other.org/%73chool", false,
     notIncluded("http://other.org/%73chool")},
    // view-source: judged whole and by the address inside.
    {"ViewSourceExcluded", excl({"evil.com"}), "view-source:http://evil.com/", false,
     excluded("view-source:http://evil.com/")},
    {"ViewSourceIncluded", incl({"school.org"}), "view-source:http://school.org/", false, kAllowed},
    {"ViewSourceInclusionJudgedInside", incl({"view-source", "school.org"}),
     "view-source:http://other.org/", false, notIncluded("view-source:http://other.org/")},
    {"NestedViewSource", incl({"view-source", "school.org"}),
     "VIEW-SOURCE:view-source:http://other.org/", false,
     notIncluded("VIEW-SOURCE:view-source:http://other.org/")},
    {"ViewSourceWordExcluded", words({"view-source"}), "view-source:http://a.org/", false,
     excluded("view-source:http://a.org/")},
    // data: addresses are text like any other.
    {"DataAddressWord", words({"casino"}), "data:text/html,<p>Casino</p>", false,
     excluded("data:text/html,<p>Casino</p>")},
    {"DataAddressEscapedWord", words({"casino"}), "data:text/html,%3Cp%3Ec%61sino", false,
     excluded("data:text/html,%3Cp%3Ec%61sino")},
    {"DataAddressNotIncluded", incl({"school.org"}), "data:text/html,hello", false,
     notIncluded("data:text/html,hello")},
    // Only ASCII letters change case; other bytes match as they are.
    {"NonAsciiSameBytes", words({"café"}), "http://x.org/CAFé", false,
     excluded("http://x.org/CAFé")},
    {"NonAsciiOtherCase", words({"café"}), "http://x.org/CAFÉ", false, kAllowed},
    {"NonAsciiEscaped", words({"café"}), "http://x.org/caf%C3%A9", false,
     excluded("http://x.org/caf%C3%A9")},
    // An inclusion entry that names a host admits that host and the hosts below it, never an
    // address that carries the name somewhere a page chooses.
    {"HostInQuery", incl({"good.example"}), "http://bad/query.html?good.example", false,
     notIncluded("http://bad/query.html?good.example")},
    {"HostInPath", incl({"good.example"}), "http://bad/good.example", false,
     notIncluded("http://bad/good.example")},
    {"HostAsUserPart", incl({"good.example"}), "http://good.example@bad/", false,
     notIncluded("http://good.example@bad/")},
    {"HostAsPrefixOfOtherHost", incl({"good.example"}), "http://good.example.bad/", false,
     notIncluded("http://good.example.bad/")},
    {"HostInFragment", incl({"good.example"}), "http://bad/#good.example", false,
     notIncluded("http://bad/#good.example")},
    {"HostInFileQuery", incl({"good.example"}), "file:///etc/passwd?good.example", false,
     notIncluded("file:///etc/passwd?good.example")},
    {"HostGluedToOtherName", incl({"good.example"}), "http://notgood.example/", false,
     notIncluded("http://notgood.example/")},
    {"HostItself", incl({"good.example"}), "https://GOOD.example:8080/a?b#c", false, kAllowed},
    {"HostBelow", incl({"good.example"}), "http://www.kids.good.example/", false, kAllowed},
    {"HostWithTrailingDot", incl({"good.example"}), "http://good.example./", false, kAllowed},
    {"HostEntryWithScheme", incl({"http://good.example"}), "https://good.example/x", false,
     kAllowed},
    {"HostEntrySchemeLimits", incl({"http://good.example"}), "ftp://good.example/x", false,
     notIncluded("ftp://good.example/x")},
    {"HostEntryPathAdmits", incl({"www.good.example/kids"}), "http://www.good.example/kids/a",
     false, kAllowed},
    {"HostEntryPathLimits", incl({"www.good.example/kids"}), "http://www.good.example/adults",
     false, notIncluded("http://www.good.example/adults")},
    {"HostEntryPathNotFromQuery", incl({"www.good.example/kids"}),
     "http://www.good.example/a?/kids", false, notIncluded("http://www.good.example/a?/kids")},
    {"HostEntryPortLimits", incl({"good.example:8080"}), "http://good.example:9090/", false,
     notIncluded("http://good.example:9090/")},
    {"HostEntryUnicode", incl({"bücher.example"}), "http://xn--bcher-kva.example/", false,
     kAllowed},
    {"FragmentEntryInHost", incl({"kids"}), "http://kidsworld.example/", false, kAllowed},
    {"FragmentEntryInPath", incl({"kids"}), "http://a.example/for-kids/", false, kAllowed},
    {"FragmentEntryNotInQuery", incl({"kids"}), "http://a.example/?kids", false,
     notIncluded("http://a.example/?kids")},
    {"FragmentEntryNotInUser", incl({"kids"}), "http://kids@a.example/", false,
     notIncluded("http://kids@a.example/")},
    {"FragmentEntryNotInFragment", incl({"kids"}), "http://a.example/#kids", false,
     notIncluded("http://a.example/#kids")},
    // Exclusions also match the plain spelling of the address.
    {"ExcludedTrailingDot", excl({"good.example/private"}), "http://good.example./private", false,
     excluded("http://good.example./private")},
    {"ExcludedDoubleSlash", excl({"good.example/private"}), "http://good.example//private", false,
     excluded("http://good.example//private")},
    {"ExcludedPastUserPart", excl({"http://evil.example"}), "http://x@evil.example/", false,
     excluded("http://x@evil.example/")},
    {"ExcludedHttpEntryRefusesHttps", excl({"http://evil.example"}), "https://evil.example/", false,
     excluded("https://evil.example/")},
    {"ExcludedHttpsEntryRefusesHttp", excl({"HTTPS://evil.example"}), "http://evil.example/", false,
     excluded("http://evil.example/")},
    {"ExcludedUnicodeEntryRefusesAscii", excl({"bücher.example"}), "http://xn--bcher-kva.example/",
     false, excluded("http://xn--bcher-kva.example/")},
    {"ExcludedAsciiEntryRefusesUnicode", excl({"xn--bcher-kva.example"}), "http://bücher.example/",
     false, excluded("http://bücher.example/")},
    {"ExcludedEscapedLetterOfTheScheme", excl({"https://evil.example"}), "http%73://evil.example/",
     false, excluded("http%73://evil.example/")},
    {"ExcludedEscapedAtSign", excl({"http://evil.example"}), "http://x%40evil.example/", false,
     excluded("http://x%40evil.example/")},
    {"ExcludedEscapedSlashJoinsPath", excl({"evil.example/private"}),
     "http://evil.example%2Fprivate", false, excluded("http://evil.example%2Fprivate")},
    {"ExcludedEscapedUserPart", excl({"http://evil.example"}), "http://%78@evil.example/", false,
     excluded("http://%78@evil.example/")},
    {"ExcludedOnAnotherPort", excl({"evil.example/private"}), "http://evil.example:8080/private",
     false, excluded("http://evil.example:8080/private")},
    {"EntryWithPortStillMatches", excl({"evil.example:8080"}), "http://evil.example:8080/", false,
     excluded("http://evil.example:8080/")},
    {"PlainFormNeverAdmits", incl({"x@evil"}), "http://x@evil.example/", false,
     notIncluded("http://x@evil.example/")},
};

std::string caseName(const ::testing::TestParamInfo<FilterCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Table, UrlFilterTable, ::testing::ValuesIn(kCases), caseName);

TEST(UrlFilter, AnImageThatIsCutShortOrDamagedInItsSizesIsRefused) {
    const UrlFilter filter(GroupLists{{"evil.example", "ads."}, {"school.example", "/ok/"}, {"x"}});
    const auto image = imageOf(filter);
    const std::string_view whole = bytesOf(*image);
    for (size_t size = 0; size < whole.size(); size += 8) {
        EXPECT_EQ(UrlFilter::fromImage(whole.substr(0, size), nullptr), nullptr) << size;
    }
    // The layout mark, the first matcher's node count and its root's first child, each wrong:
    // after the mark, the flags and four words of bytes come the node count, the longest
    // entry's length and the root's 256 children, then the nodes.
    for (const size_t word : {size_t{0}, size_t{6}, size_t{8 + 256 / 2}}) {
        auto damaged = std::make_shared<std::vector<uint64_t>>(*image);
        (*damaged)[word] ^= 0x0000'0100'0000'0001u;
        EXPECT_EQ(UrlFilter::fromImage(bytesOf(*damaged), damaged), nullptr) << word;
    }
    EXPECT_EQ(UrlFilter::fromImage(whole.substr(1), image), nullptr) << "not aligned";
}

TEST(UrlFilter, ALargeListRefusesEverySpellingOfAnEntry) {
    // Large enough that the exclusions are searched from where entries may start, with entries
    // of every length down to one that the starts do not cover.
    std::mt19937 random(11);
    GroupLists lists;
    for (int i = 0; i < 30'000; ++i)
        lists.ExclusionList.push_back(std::to_string(random()) + ".tracker.example");
    lists.ExclusionList.push_back("Evil.Example");
    lists.WordList = {"xxx"};
    const UrlFilter filter(lists);
    for (const char* address :
         {"http://evil.example/", "HTTPS://EVIL.EXAMPLE/", "http://ev%69l.example/",
          "http://ev%2569l.example/", "https://user@evil.example./", "http://evil.example:8080/",
          "view-source:http://evil.example/", "https://xn--bcher-kva.example/XxX",
          "https://www.school.example/a//b?next=evil%2Eexample"}) {
        EXPECT_EQ(filter.check(address, false).verdict, FilterVerdict::Excluded) << address;
    }
    for (const char* address : {"https://www.school.example/evil/example", "http://evi.example/"})
        EXPECT_EQ(filter.check(address, false).verdict, FilterVerdict::Allowed) << address;
}

TEST(UrlFilter, DefaultFilterAllowsEverythingButMail) {
    const UrlFilter filter;
    EXPECT_EQ(filter.check("http://a.org/", false), kAllowed);
    EXPECT_EQ(filter.check("mailto:a@b", false), kMail);
}

TEST(UrlFilter, DeeplyNestedEscapeDecodedInLinearTime) {
    // "%" then 200,000 times "25" then "62": each pass of decoding peels one level, so decoding
    // pass after pass would take hours.
    std::string nested = "http://x.org/%";
    for (int i = 0; i < 200'000; ++i) {
        nested += "25";
    }
    nested += "62adword";
    EXPECT_EQ(percentDecoded(nested), "http://x.org/badword");
    EXPECT_EQ(UrlFilter(words({"badword"})).check(nested, false).verdict, FilterVerdict::Excluded);
}

struct DecodeCase {
    std::string text, expected;
};

TEST(UrlFilter, PercentDecodedReachesTheFixedPoint) {
    const DecodeCase cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"%41", "A"},
        {"%2541", "A"},
        {"%%4141", "\xA4\x31"},
        {"%2%41", "*"},
        {"%", "%"},
        {"%4", "%4"},
        {"%zz%", "%zz%"},
        {"%00x", std::string(1, '\0') + "x"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(percentDecoded(c.text), c.expected) << c.text;
    }
}

// The plain procedure: every entry in turn, upper-cased, searched with std::string::find,
// on the address and on its escapes decoded pass after pass until nothing changes.
std::string decodedByPasses(std::string text) {
    while (true) {
        std::string pass;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size() &&
                std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
                pass += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                pass += text[i];
            }
        }
        if (pass == text) {
            return text;
        }
        text = pass;
    }
}

bool anyEntryIn(const std::vector<std::string>& entries, const std::string& upper) {
    for (const std::string& entry : entries) {
        if (!entry.empty() && upper.find(upperAscii(entry)) != std::string::npos) {
            return true;
        }
    }
    return false;
}

FilterVerdict plainVerdict(const GroupLists& lists, const std::string& address, bool allowMail) {
    const std::string upper = upperAscii(address);
    const std::string decoded = upperAscii(decodedByPasses(address));
    if (!allowMail && upper.find("MAILTO") != std::string::npos) {
        return FilterVerdict::MailRefused;
    }
    for (const auto* list : {&lists.ExclusionList, &lists.WordList}) {
        if (anyEntryIn(*list, upper) || anyEntryIn(*list, decoded)) {
            return FilterVerdict::Excluded;
        }
    }
    if (!lists.InclusionList.empty() && !anyEntryIn(lists.InclusionList, upper)) {
        return FilterVerdict::NotIncluded;
    }
    return FilterVerdict::Allowed;
}

// A small alphabet with escapes makes overlapping entries, shared prefixes, suffix chains and
// nested escapes common.
std::string randomText(std::mt19937& random, size_t maxLength) {
    static const std::string kAlphabet = "abAB%2561.";
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) {
        c = kAlphabet[random() % kAlphabet.size()];
    }
    return text;
}

std::vector<std::string> randomList(std::mt19937& random, size_t maxCount, size_t maxLength) {
    std::vector<std::string> list(random() % (maxCount + 1));
    for (std::string& entry : list) {
        entry = randomText(random, maxLength);
    }
    return list;
}

TEST(UrlFilter, MatchesThePlainLoopOnRandomLists) {
    std::mt19937 random(4242);
    int refused = 0;
    int admitted = 0;
    for (int round = 0; round < 300; ++round) {
        // The addresses hold no '/', ':', '?', '#' or '@', so inclusion entries without a
        // dot are plain substrings of them, as exclusion entries are.
        std::vector<std::string> inclusions = randomList(random, 3, 4);
        for (std::string& entry : inclusions) {
            std::erase(entry, '.');
        }
        GroupLists lists{randomList(random, 40, 7), std::move(inclusions),
                         randomList(random, 5, 6)};
        const UrlFilter filter(lists);
        for (int i = 0; i < 100; ++i) {
            std::string address = randomText(random, 30);
            if (random() % 10 == 0) {
                address.insert(random() % (address.size() + 1), "mAiLto");
            }
            const bool allowMail = random() % 2 == 0;
            const FilterVerdict expected = plainVerdict(lists, address, allowMail);
            ASSERT_EQ(filter.check(address, allowMail).verdict, expected)
                << "round " << round << " address " << address;
            (expected == FilterVerdict::Allowed ? admitted : refused) += 1;
        }
    }
    // The generated cases must exercise both outcomes to mean anything.
    EXPECT_GT(refused, 1000);
    EXPECT_GT(admitted, 1000);
}

struct LargeListCase {
    const char* name;
    const char* alphabet;
    size_t entries, minLength, maxLength;
    size_t longestProbe;
};

void PrintTo(const LargeListCase& c, std::ostream* os) {
    *os << c.name;
}

class SubstringMatcherTable : public ::testing::TestWithParam<LargeListCase> {};

// The matcher as an aligned image, read back through the bytes it wrote.
std::optional<SubstringMatcher> readBack(const SubstringMatcher& matcher,
                                         std::vector<uint64_t>& storage, size_t cut = SIZE_MAX) {
    std::string bytes;
    matcher.writeImage([&](std::string_view piece) { bytes += piece; });
    storage.assign((bytes.size() + 7) / 8, 0);
    std::memcpy(storage.data(), bytes.data(), bytes.size());
    std::string_view image(reinterpret_cast<const char*>(storage.data()),
                           std::min(cut, bytes.size()));
    return SubstringMatcher::fromImage(image);
}

TEST_P(SubstringMatcherTable, FindsWhatLookingUpEverySubstringFinds) {
    const LargeListCase& c = GetParam();
    std::mt19937 random(77);
    const size_t letters = std::strlen(c.alphabet);
    const auto text = [&](size_t minLength, size_t maxLength) {
        std::string t(minLength + random() % (maxLength - minLength + 1), ' ');
        for (char& ch : t) {
            ch = c.alphabet[random() % letters];
        }
        return t;
    };
    std::vector<std::string> entries(c.entries);
    for (std::string& entry : entries) {
        entry = text(c.minLength, c.maxLength);
    }
    const std::set<std::string, std::less<>> set(entries.begin(), entries.end());
    const SubstringMatcher matcher(std::vector<std::string_view>(entries.begin(), entries.end()));
    std::vector<uint64_t> storage;
    const std::optional<SubstringMatcher> fromImage = readBack(matcher, storage);
    ASSERT_TRUE(fromImage.has_value());
    int found = 0;
    for (int i = 0; i < 3000; ++i) {
        // Half the probes carry an entry, a third of those with one byte changed.
        std::string probe = text(5, c.longestProbe);
        if (i % 2 == 0) {
            std::string entry = entries[random() % entries.size()];
            if (i % 3 == 0) {
                entry[random() % entry.size()] = c.alphabet[random() % letters];
            }
            probe.insert(random() % (probe.size() + 1), entry);
        }
        bool expected = false;
        for (size_t start = 0; start < probe.size() && !expected; ++start) {
            for (size_t length = c.minLength;
                 length <= c.maxLength && !expected && start + length <= probe.size(); ++length) {
                expected = set.contains(std::string_view(probe).substr(start, length));
            }
        }
        ASSERT_EQ(matcher.foundIn(probe), expected) << probe;
        ASSERT_EQ(fromImage->foundIn(probe), expected) << "read back from its image: " << probe;
        found += expected ? 1 : 0;
    }
    EXPECT_GT(found, 300);
    EXPECT_LT(found, 2700);
}

const LargeListCase kLargeLists[] = {
    // Nearly every place starts an entry and suffix links run deep: long texts use up the budget
    // for going down from places and are walked byte by byte.
    {"SmallAlphabet", "abcd", 300'000, 9, 16, 12},
    // Long entries found from their starts, short ones by the matcher of their own.
    {"LettersLongAndShort", "abcdefghijklmnopqrstuvwxyz", 200'000, 5, 20, 60},
    {"LettersAllLong", "abcdefghijklmnopqrstuvwxyz", 200'000, 6, 24, 60},
};

INSTANTIATE_TEST_SUITE_P(Table, SubstringMatcherTable, ::testing::ValuesIn(kLargeLists),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(SubstringMatcher, ALargeImageCutAnywhereIsRefused) {
    std::mt19937 random(5);
    std::vector<std::string> entries(50'000);
    for (std::string& entry : entries) {
        entry = std::to_string(random()) + (random() % 4 == 0 ? "" : "-entry");
    }
    const SubstringMatcher matcher(std::vector<std::string_view>(entries.begin(), entries.end()));
    std::vector<uint64_t> storage;
    ASSERT_TRUE(readBack(matcher, storage).has_value());
    const size_t whole = storage.size() * 8;
    for (size_t cut = 8; cut < whole; cut += whole / 97 / 8 * 8 + 8) {
        EXPECT_FALSE(readBack(matcher, storage, cut).has_value()) << cut << " of " << whole;
    }
    EXPECT_FALSE(readBack(matcher, storage, whole - 8).has_value());
}

TEST(SubstringMatcher, ATextThatSendsEveryPlaceDeepIsStillSearchedInLinearTime) {
    // An entry of a thousand 'a's and a 'b' against a text of 'a's: going down the trie from
    // every place would take a thousand steps each.
    std::mt19937 random(3);
    std::vector<std::string> entries(30'000);
    for (std::string& entry : entries) {
        entry = std::to_string(random()) + std::to_string(random());
    }
    entries.push_back(std::string(1000, 'a') + "b");
    const SubstringMatcher matcher(std::vector<std::string_view>(entries.begin(), entries.end()));
    std::string text(200'000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(matcher.foundIn(text));
    text += 'b';
    EXPECT_TRUE(matcher.foundIn(text));
    // Quadratic would be 4e8 steps, seconds; linear is a millisecond or two.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST(UrlFilter, PercentDecodedMatchesPassAfterPass) {
    std::mt19937 random(99);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = randomText(random, 24);
        ASSERT_EQ(percentDecoded(text), decodedByPasses(text)) << text;
    }
}

}  // namespace
}  // namespace tarn
