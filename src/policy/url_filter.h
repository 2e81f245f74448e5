#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/group_lists.h"

namespace tarn {

enum class FilterVerdict { Allowed, MailRefused, Excluded, NotIncluded };

struct FilterDecision {
    FilterVerdict verdict = FilterVerdict::Allowed;
    std::string status;  // for the main status bar; empty when allowed
    bool log = false;    // the refusal goes to the activity log

    bool operator==(const FilterDecision&) const = default;
};

// Takes the bytes of an image piece by piece.
using ImageWriter = std::function<void(std::string_view)>;

// Answers whether any of a fixed set of byte strings occurs in a text, in time linear in the
// text whatever the number of entries (Aho-Corasick). Nodes are numbered breadth first, so the
// children of a node are a run of consecutive nodes and need no edge list: a million blocklist
// lines fit in a few bytes per character.
//
// Walking a large trie waits on memory at every byte, one step after the other. A large matcher
// therefore also keeps one bit for the hash of the first bytes of each entry, and goes down the
// trie only from the places in a text whose bits are set: those look-ups do not wait on each
// other. Entries too short to have such a start get a small matcher of their own.
class SubstringMatcher {
  public:
    // Empty entries are dropped: they never match.
    explicit SubstringMatcher(std::span<const std::string_view> entries);
    SubstringMatcher(SubstringMatcher&&) = default;
    SubstringMatcher& operator=(SubstringMatcher&&) = default;

    bool foundIn(std::string_view text) const;
    // No entry: nothing is ever found.
    bool empty() const { return longest_ == 0; }
    // Whether an entry occurs in `text` across one of the bytes `changed` marks: only there can
    // a text that differs from one already searched in those bytes alone hold a new match.
    bool foundAcross(std::string_view text, const std::vector<char>& changed) const;
    size_t memoryBytes() const;

    // The arrays as they lie in memory, for reading back without building.
    void writeImage(const ImageWriter& write) const;
    // A matcher reading the arrays at the front of `image`, which is moved past them; none when
    // they do not fit or do not add up. The bytes must outlive the matcher.
    static std::optional<SubstringMatcher> fromImage(std::string_view& image);

  private:
    static constexpr uint32_t kFinal = 0x8000'0000u;  // flag in fail: an entry ends here

    // What a step reads of a node, side by side so that one cache line holds both.
    struct Node {
        uint32_t firstChild;  // children of n: nodes_[n].firstChild .. nodes_[n + 1].firstChild
        uint32_t fail;        // longest proper suffix that is a node, | kFinal
    };

    SubstringMatcher() = default;
    void buildTrie(const LargeVector<std::string_view>& sorted);
    void linkSuffixes();
    void viewOwnArrays();
    uint32_t child(uint32_t node, unsigned char byte) const;
    uint32_t count() const { return static_cast<uint32_t>(nodes_.size() - 1); }
    uint32_t firstChild(uint32_t node) const { return nodes_[node].firstChild; }
    uint32_t suffix(uint32_t node) const { return nodes_[node].fail & ~kFinal; }
    bool final(uint32_t node) const { return (nodes_[node].fail & kFinal) != 0; }
    uint32_t next(uint32_t node, unsigned char byte) const;
    bool walked(std::string_view text) const;
    void indexStarts(const LargeVector<std::string_view>& sorted);
    bool mayStartAt(const char* at) const;
    static std::optional<SubstringMatcher> fromImage(std::string_view& image, bool indexed);

    // Built arrays live here; read back from an image, the views point into it instead.
    LargeVector<Node> ownNodes_;  // one more than there are nodes, ending the last run
    LargeVector<unsigned char> ownLabel_;
    std::span<const Node> nodes_;
    // The whole transition of the root and the shallowest nodes, 256 entries to a node: text
    // keeps the matcher near the root, and a failing step ends there in one look-up instead of
    // one for each suffix on the way.
    LargeVector<uint32_t> ownShallowNext_;
    std::span<const uint32_t> shallowNext_;
    uint32_t shallow_ = 0;                  // the nodes below this number have rows
    std::span<const unsigned char> label_;  // the byte that leads to the node from its parent
    std::array<uint32_t, 256> rootNext_{};  // the root's children by byte; 0 for none
    uint64_t longest_ = 0;                  // the length of the longest entry
    // One bit for each hash of an entry's first bytes, hashes cut to the table by this shift.
    LargeVector<uint64_t> ownStarts_;
    std::span<const uint64_t> starts_;  // empty when the matcher is walked byte by byte
    unsigned startShift_ = 0;
    std::unique_ptr<SubstringMatcher> shorter_;  // the entries the starts do not cover
};

// Decides a navigation against a group's lists: mail links, then exclusion entries and words,
// then inclusion entries. Exclusion entries and words are upper-case substrings of the address
// as given, of its escapes decoded, and of its plain form (no user part, the host without a
// trailing dot in both its ASCII and its Unicode spelling, runs of '/' as one, https as http).
// An inclusion entry that names a host admits that host and the hosts below it, from the path it
// names; any other inclusion entry is a substring of the address's scheme, host and path, never
// of the parts a page can write anything into. The matchers are built once per list assembly,
// so a decision costs the same for ten entries or a million.
class UrlFilter {
  public:
    UrlFilter();
    explicit UrlFilter(const GroupLists& lists);
    explicit UrlFilter(const ListViews& lists);

    // The filter as bytes that fromImage reads back; the same lists give the same bytes.
    void writeImage(const ImageWriter& write) const;
    // A filter reading its matchers straight from `image` (8-byte aligned), which `keep` holds
    // alive; none when the bytes are not an image of this layout. Only sizes and counts are
    // checked: whoever stores images checks the bytes themselves.
    static std::shared_ptr<const UrlFilter> fromImage(std::string_view image,
                                                      std::shared_ptr<const void> keep);

    FilterDecision check(std::string_view address, bool allowMailLinks) const;
    // The exclusion entries and words alone: what a page's own requests must pass.
    bool excludes(std::string_view address) const;
    // Whether any list is in force: an exclusion entry or word, or an inclusion list.
    bool restricts() const { return inclusionOn_ || !excluded_.empty(); }
    size_t memoryBytes() const;

  private:
    struct HostEntry {
        std::string scheme;  // upper case, https as http; empty for any
        std::string port;    // empty for any
        std::string path;    // the address's path must start with it
    };

    UrlFilter(SubstringMatcher excluded, SubstringMatcher included);
    bool excludedUpper(std::string_view address, std::string_view upper) const;
    bool included(std::string_view upper) const;
    void addInclusion(std::string_view upperEntry, std::vector<std::string_view>& fragments);
    void deriveDecodedMatters();

    SubstringMatcher excluded_;  // exclusion entries and words: both refuse the same way
    SubstringMatcher includedFragments_;
    std::unordered_map<std::string, std::vector<HostEntry>> includedHosts_;  // by ASCII host
    bool inclusionOn_ = false;
    // The bytes of the upper-case exclusion entries and words: a match that decoding made must
    // hold one of them where an escape was.
    std::bitset<256> entryBytes_;
    // Bytes that, produced by decoding an escape, can change what the exclusions find: those
    // that are entry bytes in upper case, and those that shape an address.
    std::bitset<256> decodedMatters_;
    std::shared_ptr<const void> image_;  // what the matchers read, when read from an image
};

// Decodes %XX until none is left, so "%2562" gives "b" as "%62" does. Malformed escapes stay
// as they are. Linear in the text however deep the nesting.
std::string percentDecoded(std::string_view text);
// The same, marking in `produced` each byte an escape gave, and in `at` (one flag for each
// decoded byte) where the decoded text holds one.
std::string percentDecoded(std::string_view text, std::bitset<256>* produced,
                           std::vector<char>* at = nullptr);

}  // namespace tarn
