#include "policy/url_filter.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <utility>

#include "platform/ascii_case.h"
#include "policy/address_parts.h"

namespace tarn {
namespace {

// How many first bytes of an entry its start bit stands for, and how many nodes a trie has before
// it is worth keeping starts: below that, the whole trie stays in the processor's caches.
constexpr size_t kStartBytes = 6;
constexpr uint32_t kIndexedNodes = 1 << 16;
// Below this many entries or nodes, a second thread costs more than it saves.
constexpr size_t kSideBySide = 1 << 16;

uint64_t startHash(const char* at) {
    // Two loads into registers: a six-byte copy through memory would make each look-up wait for
    // the one before it.
    uint32_t low = 0;
    uint16_t high = 0;
    std::memcpy(&low, at, sizeof low);
    std::memcpy(&high, at + sizeof low, sizeof high);
    return (low | uint64_t{high} << 32) * 0x9E37'79B9'7F4A'7C15u;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The entries of several lists upper-cased into one buffer, so a million entries cost one
// allocation rather than a million. An entry for "https://" is kept as "http://": the plain form
// of an address spells both schemes that way.
struct UpperEntries {
    LargeString text;
    LargeVector<std::string_view> views;
    std::bitset<256> bytes;  // every byte of the entries in upper case, "https://" as written
};

UpperEntries upperEntries(std::initializer_list<const LargeVector<std::string_view>*> lists) {
    constexpr std::string_view kSecure = "HTTPS://";
    UpperEntries entries;
    size_t bytes = 0;
    size_t count = 0;
    for (const auto* list : lists) {
        count += list->size();
        for (const std::string_view entry : *list) {
            bytes += entry.size();
        }
    }
    // Written in place: the buffer never grows, so the views stay where they point.
    entries.text.resize(bytes);
    entries.views.reserve(count);
    std::array<bool, 256> seen{};
    char* const first = entries.text.data();
    char* out = first;
    for (const auto* list : lists) {
        for (const std::string_view entry : *list) {
            char* const start = out;
            for (const char c : entry) {
                *out = upperAscii(c);
                seen[static_cast<unsigned char>(*out++)] = true;
            }
            if (std::string_view(start, out).starts_with(kSecure)) {
                std::memmove(start + 4, start + 5, static_cast<size_t>(out - start - 5));
                --out;
            }
            entries.views.emplace_back(start, static_cast<size_t>(out - start));
        }
    }
    entries.text.resize(static_cast<size_t>(out - first));
    for (size_t byte = 0; byte < seen.size(); ++byte) {
        entries.bytes[byte] = seen[byte];
    }
    return entries;
}

// Copies the entries one after another in their order and points the views at the copies:
// building the trie reads them level by level, and that pass should walk memory forwards.
void packInOrder(LargeVector<std::string_view>& views, LargeString& storage) {
    size_t bytes = 0;
    for (const std::string_view view : views) {
        bytes += view.size();
    }
    storage.reserve(bytes);
    for (const std::string_view view : views) {
        storage += view;
    }
    size_t offset = 0;
    for (std::string_view& view : views) {
        view = std::string_view(storage.data() + offset, view.size());
        offset += view.size();
    }
}

// The first eight bytes of an entry as one number that orders as the bytes do.
uint64_t sortKey(std::string_view entry) {
    uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i) {
        key = key << 8 | (i < entry.size() ? static_cast<unsigned char>(entry[i]) : 0u);
    }
    return key;
}

// The non-empty entries sorted bytewise without duplicates, their bytes copied into `storage`.
// Most comparisons are settled by the first eight bytes, held beside each entry, so the sort
// seldom reaches into the entries themselves.
LargeVector<std::string_view> sortedUnique(std::span<const std::string_view> entries,
                                           LargeString& storage) {
    // Spread by the first two bytes, then each bucket sorted on its own: a bucket sorts in the
    // cache, and the two halves of the buckets sort side by side.
    constexpr size_t kBuckets = size_t{1} << 16;
    const auto bucketOf = [](uint64_t key) { return static_cast<size_t>(key >> 48); };
    std::vector<size_t> starts(kBuckets + 1);
    for (const std::string_view entry : entries) {
        if (!entry.empty()) {
            ++starts[bucketOf(sortKey(entry)) + 1];
        }
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    LargeVector<std::pair<uint64_t, std::string_view>> merged(starts.back());
    std::vector<size_t> cursor(starts.begin(), starts.end() - 1);
    for (const std::string_view entry : entries) {
        if (!entry.empty()) {
            const uint64_t key = sortKey(entry);
            merged[cursor[bucketOf(key)]++] = {key, entry};
        }
    }
    const auto sortBuckets = [&](size_t from, size_t to) {
        for (size_t bucket = from; bucket < to; ++bucket) {
            std::sort(merged.begin() + static_cast<std::ptrdiff_t>(starts[bucket]),
                      merged.begin() + static_cast<std::ptrdiff_t>(starts[bucket + 1]));
        }
    };
    const auto half = static_cast<size_t>(
        std::upper_bound(starts.begin(), starts.end(), merged.size() / 2) - starts.begin());
    std::thread other(sortBuckets, std::min(half, kBuckets), kBuckets);
    sortBuckets(0, std::min(half, kBuckets));
    other.join();
    LargeVector<std::string_view> sorted;
    sorted.reserve(merged.size());
    for (const auto& [key, entry] : merged) {
        if (sorted.empty() || sorted.back() != entry) {
            sorted.push_back(entry);
        }
    }
    packInOrder(sorted, storage);
    return sorted;
}

// How many bytes each entry shares with the one sorted before it: every byte past them is a node
// of the trie.
LargeVector<uint32_t> sharedPrefixes(const LargeVector<std::string_view>& sorted) {
    LargeVector<uint32_t> shared(sorted.size());
    const auto compare = [&](size_t from, size_t to) {
        for (size_t i = std::max(from, size_t{1}); i < to; ++i) {
            const std::string_view a = sorted[i - 1];
            const std::string_view b = sorted[i];
            const size_t limit = std::min(a.size(), b.size());
            size_t n = 0;
            while (n < limit && a[n] == b[n]) {
                ++n;
            }
            shared[i] = static_cast<uint32_t>(n);
        }
    };
    if (sorted.size() < kSideBySide) {
        compare(0, sorted.size());
    } else {
        std::thread other(compare, sorted.size() / 2, sorted.size());
        compare(0, sorted.size() / 2);
        other.join();
    }
    return shared;
}

// A view-source address shows the page of the address inside it, so that address is what the
// inclusion list has to admit.
std::string_view innerAddress(std::string_view upper) {
    constexpr std::string_view kViewSource = "VIEW-SOURCE:";
    while (upper.starts_with(kViewSource)) {
        upper.remove_prefix(kViewSource.size());
    }
    return upper;
}

// Images hold plain arrays in this machine's byte order; each piece starts 8-byte aligned.
constexpr uint64_t kImageLayout = 0x3654'4c49'464c'5255;  // "URLFILT6"

template <typename T>
std::string_view bytesOf(const T& value) {
    return {reinterpret_cast<const char*>(&value), sizeof value};
}

template <typename T>
std::string_view bytesOf(std::span<const T> values) {
    return {reinterpret_cast<const char*>(values.data()), values.size_bytes()};
}

std::string_view padding(size_t bytes) {
    static constexpr char kZeros[8] = {};
    return {kZeros, (8 - bytes % 8) % 8};
}

template <typename T>
bool take(std::string_view& image, T& value) {
    if (image.size() < sizeof value) {
        return false;
    }
    std::memcpy(&value, image.data(), sizeof value);
    image.remove_prefix(sizeof value);
    return true;
}

template <typename T>
bool takeArray(std::string_view& image, uint64_t count, std::span<const T>& values) {
    if (count > image.size() / sizeof(T)) {
        return false;
    }
    values = {reinterpret_cast<const T*>(image.data()), static_cast<size_t>(count)};
    image.remove_prefix(values.size_bytes());
    return true;
}

bool skipPadding(std::string_view& image, uint64_t bytes) {
    const size_t pad = padding(static_cast<size_t>(bytes)).size();
    if (image.size() < pad) {
        return false;
    }
    image.remove_prefix(pad);
    return true;
}

void writeText(const ImageWriter& write, std::string_view text) {
    const uint64_t size = text.size();
    write(bytesOf(size));
    write(text);
    write(padding(text.size()));
}

bool takeText(std::string_view& image, std::string& text) {
    uint64_t size = 0;
    if (!take(image, size) || size > image.size()) {
        return false;
    }
    text.assign(image.substr(0, static_cast<size_t>(size)));
    image.remove_prefix(static_cast<size_t>(size));
    return skipPadding(image, size);
}

}  // namespace

SubstringMatcher::SubstringMatcher(std::span<const std::string_view> entries) {
    LargeString packed;
    const LargeVector<std::string_view> sorted = sortedUnique(entries, packed);
    buildTrie(sorted);
    viewOwnArrays();
    linkSuffixes();
    if (count() >= kIndexedNodes && longest_ >= kStartBytes) {
        indexStarts(sorted);
    }
}

void SubstringMatcher::indexStarts(const LargeVector<std::string_view>& sorted) {
    std::vector<std::string_view> shorter;
    for (const std::string_view entry : sorted) {
        if (entry.size() < kStartBytes) {
            shorter.push_back(entry);
        }
    }
    auto shorterMatcher = std::make_unique<SubstringMatcher>(shorter);
    // Many short entries make a matcher as large as this one: walking it would cost what the
    // starts save.
    if (shorterMatcher->count() >= kIndexedNodes) {
        return;
    }
    // About sixteen bits for each entry: one text place in sixteen goes down the trie in vain.
    unsigned bits = 16;
    while ((size_t{1} << bits) < sorted.size() * 16) {
        ++bits;
    }
    startShift_ = 64 - bits;
    ownStarts_.assign((size_t{1} << bits) / 64, 0);
    for (const std::string_view entry : sorted) {
        if (entry.size() >= kStartBytes) {
            const uint64_t bit = startHash(entry.data()) >> startShift_;
            ownStarts_[bit / 64] |= uint64_t{1} << (bit % 64);
        }
    }
    starts_ = ownStarts_;
    shorter_ = std::move(shorterMatcher);
}

bool SubstringMatcher::mayStartAt(const char* at) const {
    const uint64_t bit = startHash(at) >> startShift_;
    return ((starts_[bit / 64] >> (bit % 64)) & 1) != 0;
}

void SubstringMatcher::buildTrie(const LargeVector<std::string_view>& sorted) {
    // One pass over the sorted entries numbers the nodes breadth first: the nodes of one depth
    // come in the order of their prefixes, so each depth has a cursor that only moves forward,
    // and the children of one node are consecutive.
    const LargeVector<uint32_t> shared = sharedPrefixes(sorted);
    size_t longest = 0;
    size_t nodes = 1;
    for (size_t i = 0; i < sorted.size(); ++i) {
        longest = std::max(longest, sorted[i].size());
        nodes += sorted[i].size() - shared[i];
    }
    if (nodes >= kFinal) {
        throw std::length_error("URL filter lists are too large");
    }
    longest_ = longest;
    // Entries from one whose first byte differs from the one before share no node but the root
    // with those before it: the two halves fill their nodes side by side.
    size_t split = sorted.size() < kSideBySide ? sorted.size() : sorted.size() / 2;
    while (split < sorted.size() && shared[split] != 0) {
        ++split;
    }
    // New nodes at each depth: entry i adds one at depths shared[i] + 1 .. its length.
    const auto newAtDepth = [&](size_t from, size_t to) {
        std::vector<uint32_t> added(longest + 2, 0);
        for (size_t i = from; i < to; ++i) {
            ++added[shared[i] + 1];
            --added[sorted[i].size() + 1];
        }
        std::partial_sum(added.begin(), added.end(), added.begin());
        return added;
    };
    const std::vector<uint32_t> firstHalf = newAtDepth(0, split);
    const std::vector<uint32_t> secondHalf = newAtDepth(split, sorted.size());
    std::vector<uint32_t> cursor(longest + 1, 0);
    std::vector<uint32_t> secondCursor(longest + 1, 0);
    uint32_t start = 1;
    for (size_t depth = 1; depth <= longest; ++depth) {
        cursor[depth] = start;
        secondCursor[depth] = start + firstHalf[depth];
        start += firstHalf[depth] + secondHalf[depth];
    }

    ownLabel_.resize(nodes);
    // Each node's number of children first; summed up in order they give where the children
    // of each node begin, since the children of earlier nodes come earlier.
    ownNodes_.resize(nodes + 1);
    const auto fill = [&](size_t from, size_t to, std::vector<uint32_t>& at,
                          uint32_t& rootChildren) {
        std::vector<uint32_t> path(longest + 1, 0);  // the current entry's node at each depth
        for (size_t i = from; i < to; ++i) {
            const std::string_view entry = sorted[i];
            for (size_t depth = shared[i] + 1; depth <= entry.size(); ++depth) {
                const uint32_t node = at[depth]++;
                ownLabel_[node] = static_cast<unsigned char>(entry[depth - 1]);
                ++(depth == 1 ? rootChildren : ownNodes_[path[depth - 1]].firstChild);
                path[depth] = node;
            }
            ownNodes_[path[entry.size()]].fail |= kFinal;
        }
    };
    uint32_t secondRootChildren = 0;
    if (split == sorted.size()) {
        fill(0, split, cursor, ownNodes_[0].firstChild);
    } else {
        std::thread other(fill, split, sorted.size(), std::ref(secondCursor),
                          std::ref(secondRootChildren));
        fill(0, split, cursor, ownNodes_[0].firstChild);
        other.join();
    }
    ownNodes_[0].firstChild += secondRootChildren;
    uint32_t next = 1;
    for (Node& node : ownNodes_) {
        next += std::exchange(node.firstChild, next);
    }
    for (uint32_t node = ownNodes_[0].firstChild; node < ownNodes_[1].firstChild; ++node) {
        rootNext_[ownLabel_[node]] = node;
    }
}

void SubstringMatcher::linkSuffixes() {
    // Most suffix links end near the root, so the whole transition of each shallow node is
    // looked up once, in a table, rather than again for every node whose suffix passes it.
    constexpr uint32_t kTableNodes = 4096;
    const uint32_t nodes = count();
    shallow_ = std::min(firstChild(1), nodes);  // the root's children end here
    if (shallow_ < nodes && firstChild(shallow_) - 1 <= kTableNodes) {
        shallow_ = firstChild(shallow_);  // and their children too
    }
    ownShallowNext_.resize(static_cast<size_t>(shallow_) * 256);
    shallowNext_ = ownShallowNext_;
    const auto link = [&](uint32_t fromParent, uint32_t toParent) {
        for (uint32_t parent = fromParent; parent < toParent; ++parent) {
            for (uint32_t node = firstChild(parent); node < firstChild(parent + 1); ++node) {
                const uint32_t target = parent == 0 ? 0 : next(suffix(parent), label_[node]);
                ownNodes_[node].fail |= target | (nodes_[target].fail & kFinal);
            }
        }
    };
    // A suffix node is shallower than the node it serves, so once a depth is done, every fail
    // link and final flag the next one needs is known, and the nodes of one depth can be linked
    // in any order: two threads share the larger depths.
    for (uint32_t begin = 0, end = 1; begin < end && begin < nodes;) {
        if (end - begin < kSideBySide) {
            link(begin, end);
        } else {
            const uint32_t middle = begin + (end - begin) / 2;
            std::thread other(link, middle, end);
            link(begin, middle);
            other.join();
        }
        // The table rows of a depth once its links are known: a row falls back on the row of
        // the node's suffix, which is shallower.
        for (uint32_t node = begin; node < end && node < shallow_; ++node) {
            for (unsigned byte = 0; byte < 256; ++byte) {
                const uint32_t target = node == 0 ? rootNext_[byte] : child(node, byte);
                ownShallowNext_[static_cast<size_t>(node) * 256 + byte] =
                    target != 0 || node == 0
                        ? target
                        : ownShallowNext_[static_cast<size_t>(suffix(node)) * 256 + byte];
            }
        }
        const uint32_t below = firstChild(end);
        begin = firstChild(begin);
        end = below;
    }
}

uint32_t SubstringMatcher::child(uint32_t node, unsigned char byte) const {
    if (node == 0) {
        return rootNext_[byte];
    }
    const uint32_t begin = firstChild(node);
    const uint32_t end = firstChild(node + 1);
    // A node's children carry distinct bytes, so the first one that matches is the child.
    const auto* found =
        static_cast<const unsigned char*>(std::memchr(label_.data() + begin, byte, end - begin));
    return found ? static_cast<uint32_t>(found - label_.data()) : 0;
}

uint32_t SubstringMatcher::next(uint32_t node, unsigned char byte) const {
    while (node >= shallow_) {
        if (const uint32_t target = child(node, byte)) {
            return target;
        }
        node = suffix(node);
    }
    return shallowNext_[static_cast<size_t>(node) * 256 + byte];
}

bool SubstringMatcher::foundIn(std::string_view text) const {
    if (starts_.empty()) {
        return walked(text);
    }
    if (shorter_->foundIn(text)) {
        return true;
    }
    // Every step down costs one of the budget: a text made to send every place deep into the
    // trie is walked byte by byte instead, which is linear whatever the text.
    size_t budget = 64 + 8 * text.size();
    const char* const end = text.data() + text.size();
    for (const char* at = text.data(); end - at >= static_cast<std::ptrdiff_t>(kStartBytes); ++at) {
        if (!mayStartAt(at)) {
            continue;
        }
        uint32_t node = 0;
        for (const char* c = at; c != end; ++c) {
            node = child(node, static_cast<unsigned char>(*c));
            if (node == 0) {
                break;
            }
            if (final(node)) {
                return true;
            }
            if (--budget == 0) {
                return walked(text);
            }
        }
    }
    return false;
}

bool SubstringMatcher::walked(std::string_view text) const {
    if (longest_ == 0) {
        return false;
    }
    uint32_t node = 0;
    for (const char c : text) {
        node = next(node, static_cast<unsigned char>(c));
        if (final(node)) {
            return true;
        }
    }
    return false;
}

void SubstringMatcher::viewOwnArrays() {
    nodes_ = ownNodes_;
    label_ = ownLabel_;
}

bool SubstringMatcher::foundAcross(std::string_view text, const std::vector<char>& changed) const {
    // Each changed byte with the entry length on either side, windows that meet joined.
    size_t end = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if (!changed[at] || at < end) {
            continue;
        }
        const size_t begin = at + 1 > longest_ ? at + 1 - longest_ : 0;
        end = std::min(text.size(), at + longest_);
        for (size_t next = at + 1; next < end; ++next) {
            if (changed[next]) {
                end = std::min(text.size(), next + longest_);
            }
        }
        if (foundIn(text.substr(begin, end - begin))) {
            return true;
        }
    }
    return false;
}

size_t SubstringMatcher::memoryBytes() const {
    return sizeof(*this) + nodes_.size_bytes() + label_.size_bytes() + shallowNext_.size_bytes() +
           starts_.size_bytes() + (shorter_ ? shorter_->memoryBytes() : 0);
}

void SubstringMatcher::writeImage(const ImageWriter& write) const {
    const uint64_t nodes = count();
    write(bytesOf(nodes));
    write(bytesOf(longest_));
    write(bytesOf(rootNext_));
    write(bytesOf(nodes_));
    const uint64_t shallow = shallow_;
    write(bytesOf(shallow));
    write(bytesOf(shallowNext_));
    write(bytesOf(label_));
    write(padding(label_.size()));
    const uint64_t startBits = starts_.size() * 64;
    write(bytesOf(startBits));
    if (startBits != 0) {
        write(bytesOf(starts_));
        shorter_->writeImage(write);
    }
}

std::optional<SubstringMatcher> SubstringMatcher::fromImage(std::string_view& image) {
    return fromImage(image, true);
}

std::optional<SubstringMatcher> SubstringMatcher::fromImage(std::string_view& image, bool indexed) {
    uint64_t nodes = 0;
    uint64_t shallow = 0;
    SubstringMatcher matcher;
    if (!take(image, nodes) || !take(image, matcher.longest_) || !take(image, matcher.rootNext_) ||
        nodes == 0 || nodes >= kFinal || !takeArray(image, nodes + 1, matcher.nodes_) ||
        !take(image, shallow) || shallow == 0 || shallow > nodes ||
        !takeArray(image, shallow * 256, matcher.shallowNext_) ||
        !takeArray(image, nodes, matcher.label_) || !skipPadding(image, nodes)) {
        return std::nullopt;
    }
    // What a lookup relies on to stay inside the arrays.
    const bool bounded =
        matcher.nodes_.front().firstChild == 1 && matcher.nodes_.back().firstChild == nodes &&
        std::ranges::all_of(matcher.rootNext_, [&](uint32_t node) { return node < nodes; }) &&
        std::ranges::all_of(matcher.shallowNext_, [&](uint32_t node) { return node < nodes; });
    if (!bounded) {
        return std::nullopt;
    }
    matcher.shallow_ = static_cast<uint32_t>(shallow);
    // Starts come as a whole power of two of bits, with the shorter entries' matcher after them,
    // which has no starts of its own.
    uint64_t startBits = 0;
    if (!take(image, startBits)) {
        return std::nullopt;
    }
    if (startBits != 0) {
        if (!indexed || startBits < 64 || startBits > (uint64_t{1} << 40) ||
            (startBits & (startBits - 1)) != 0 ||
            !takeArray(image, startBits / 64, matcher.starts_)) {
            return std::nullopt;
        }
        matcher.startShift_ = 64 - static_cast<unsigned>(std::countr_zero(startBits));
        auto shorter = fromImage(image, false);
        if (!shorter) {
            return std::nullopt;
        }
        matcher.shorter_ = std::make_unique<SubstringMatcher>(std::move(*shorter));
    }
    return matcher;
}

UrlFilter::UrlFilter() : UrlFilter(GroupLists{}) {}

UrlFilter::UrlFilter(const GroupLists& lists) : UrlFilter(ListViews(lists)) {}

UrlFilter::UrlFilter(const ListViews& lists)
    : excluded_(std::vector<std::string_view>{}),
      includedFragments_(std::vector<std::string_view>{}),
      inclusionOn_(!lists.InclusionList.empty()) {
    {
        const UpperEntries excluded = upperEntries({&lists.ExclusionList, &lists.WordList});
        excluded_ = SubstringMatcher(excluded.views);
        entryBytes_ = excluded.bytes;
    }
    const UpperEntries inclusions = upperEntries({&lists.InclusionList});
    std::vector<std::string_view> fragments;
    for (const std::string_view entry : inclusions.views) {
        addInclusion(entry, fragments);
    }
    includedFragments_ = SubstringMatcher(fragments);
    deriveDecodedMatters();
}

void UrlFilter::deriveDecodedMatters() {
    decodedMatters_.reset();
    for (const char c : std::string_view("/\\@:?#.%")) {
        decodedMatters_.set(static_cast<unsigned char>(c));
    }
    // The decoded form is matched in upper case.
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (entryBytes_[static_cast<unsigned char>(upperAscii(static_cast<char>(byte)))]) {
            decodedMatters_.set(byte);
        }
    }
}

UrlFilter::UrlFilter(SubstringMatcher excluded, SubstringMatcher included)
    : excluded_(std::move(excluded)), includedFragments_(std::move(included)) {}

void UrlFilter::writeImage(const ImageWriter& write) const {
    const uint64_t flags = inclusionOn_ ? 1u : 0u;
    write(bytesOf(kImageLayout));
    write(bytesOf(flags));
    std::array<uint64_t, 4> entryBytes{};
    for (size_t byte = 0; byte < entryBytes_.size(); ++byte) {
        entryBytes[byte / 64] |= static_cast<uint64_t>(entryBytes_[byte]) << (byte % 64);
    }
    write(bytesOf(entryBytes));
    excluded_.writeImage(write);
    includedFragments_.writeImage(write);
    const uint64_t hosts = includedHosts_.size();
    write(bytesOf(hosts));
    for (const auto& [name, entries] : includedHosts_) {
        writeText(write, name);
        const uint64_t count = entries.size();
        write(bytesOf(count));
        for (const HostEntry& entry : entries) {
            writeText(write, entry.scheme);
            writeText(write, entry.port);
            writeText(write, entry.path);
        }
    }
}

std::shared_ptr<const UrlFilter> UrlFilter::fromImage(std::string_view image,
                                                      std::shared_ptr<const void> keep) {
    uint64_t layout = 0;
    uint64_t flags = 0;
    std::array<uint64_t, 4> entryBytes{};
    if (reinterpret_cast<uintptr_t>(image.data()) % 8 != 0 || !take(image, layout) ||
        layout != kImageLayout || !take(image, flags) || !take(image, entryBytes)) {
        return nullptr;
    }
    auto excluded = SubstringMatcher::fromImage(image);
    auto included = excluded ? SubstringMatcher::fromImage(image) : std::nullopt;
    uint64_t hosts = 0;
    if (!included || !take(image, hosts)) {
        return nullptr;
    }
    std::shared_ptr<UrlFilter> filter(new UrlFilter(std::move(*excluded), std::move(*included)));
    filter->inclusionOn_ = (flags & 1) != 0;
    for (size_t byte = 0; byte < filter->entryBytes_.size(); ++byte) {
        filter->entryBytes_[byte] = ((entryBytes[byte / 64] >> (byte % 64)) & 1) != 0;
    }
    filter->deriveDecodedMatters();
    for (uint64_t host = 0; host < hosts; ++host) {
        std::string name;
        uint64_t count = 0;
        if (!takeText(image, name) || !take(image, count) || count > image.size()) {
            return nullptr;
        }
        std::vector<HostEntry>& entries = filter->includedHosts_[name];
        entries.resize(static_cast<size_t>(count));
        for (HostEntry& entry : entries) {
            if (!takeText(image, entry.scheme) || !takeText(image, entry.port) ||
                !takeText(image, entry.path)) {
                return nullptr;
            }
        }
    }
    if (!image.empty()) {
        return nullptr;
    }
    filter->image_ = std::move(keep);
    return filter;
}

void UrlFilter::addInclusion(std::string_view entry, std::vector<std::string_view>& fragments) {
    // An entry names a host when it is a host name with a dot in it, or anything after a
    // scheme and "//", optionally with a port and a path; nothing a page can add to an address
    // (a user part, a query or a fragment) may be part of it.
    const std::string withAuthority =
        entry.find("//") == std::string_view::npos ? "//" + std::string(entry) : std::string(entry);
    const AddressParts named = splitAddress(withAuthority);
    const bool hostChars = !named.host.empty() && !named.host.starts_with('.') &&
                           std::ranges::all_of(named.host, [](char c) {
                               return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                                      c == '.' || c == '-' || c == '_' || (c & 0x80);
                           });
    const bool portDigits =
        std::ranges::all_of(named.port, [](char c) { return c >= '0' && c <= '9'; });
    const bool namesHost =
        named.hasAuthority && hostChars && portDigits &&
        (!named.scheme.empty() || named.host.find('.') != std::string_view::npos) &&
        withAuthority.find_first_of("?#@") == std::string::npos;
    if (!namesHost) {
        fragments.push_back(entry);
        return;
    }
    includedHosts_[upperAsciiHost(named.host)].push_back(
        {std::string(named.scheme == "HTTPS" ? std::string_view("HTTP") : named.scheme),
         std::string(named.port), collapsedSlashes(named.path)});
}

FilterDecision UrlFilter::check(std::string_view address, bool allowMailLinks) const {
    const std::string upper = upperAscii(address);
    if (!allowMailLinks && upper.find("MAILTO") != std::string::npos) {
        return {FilterVerdict::MailRefused, "email links have been disabled..", true};
    }
    if (excludedUpper(address, upper)) {
        return {FilterVerdict::Excluded, "excluding: " + std::string(address), true};
    }
    // A list whose entries are all empty admits nothing: it is still an inclusion list.
    if (inclusionOn_ && !included(innerAddress(upper))) {
        return {FilterVerdict::NotIncluded, "excluding: " + std::string(address), false};
    }
    return {};
}

bool UrlFilter::excludes(std::string_view address) const {
    return excludedUpper(address, upperAscii(address));
}

bool UrlFilter::excludedUpper(std::string_view address, std::string_view upper) const {
    // Every other spelling only ever refuses, it never lets an address in: an escaped letter
    // or a second spelling of the host must not slip a listed entry past the test.
    if (excluded_.foundIn(upper)) {
        return true;
    }
    std::string decoded;
    if (address.find('%') != std::string_view::npos) {
        std::bitset<256> produced;
        std::vector<char> at;
        std::string plain = percentDecoded(address, &produced, &at);
        // Bytes that occur in no entry and shape no part of the address can not make a match
        // the address as given lacks: the decoded form is then the same to the lists.
        if ((produced & decodedMatters_).any()) {
            decoded = upperAscii(plain);
            // A match the address as given lacks holds a byte an escape gave, and that byte is
            // one of the entries' own.
            for (size_t i = 0; i < decoded.size(); ++i) {
                at[i] = at[i] && entryBytes_[static_cast<unsigned char>(decoded[i])];
            }
            if (excluded_.foundAcross(decoded, at)) {
                return true;
            }
        }
    }
    for (const std::string_view spelling : {upper, std::string_view(decoded)}) {
        // Only an entry with a ':' can tell an address's "https:" from "http:", so without one
        // the plain form need not spell the scheme again.
        for (const std::string& form : plainForms(spelling, entryBytes_[':'])) {
            if (excluded_.foundIn(form)) {
                return true;
            }
        }
    }
    return false;
}

bool UrlFilter::included(std::string_view upper) const {
    const AddressParts parts = splitAddress(upper);
    const std::string path = collapsedSlashes(parts.path);
    std::string host = parts.hasAuthority ? upperAsciiHost(parts.host) : std::string();
    if (!host.empty() && !includedHosts_.empty()) {
        const std::string_view scheme = parts.scheme == "HTTPS" ? "HTTP" : parts.scheme;
        // The host itself, then each host it lies below: "A.B.C", "B.C", "C".
        for (std::string_view name = host; !name.empty();) {
            if (const auto found = includedHosts_.find(std::string(name));
                found != includedHosts_.end()) {
                for (const HostEntry& entry : found->second) {
                    if ((entry.scheme.empty() || entry.scheme == scheme) &&
                        (entry.port.empty() || entry.port == parts.port) &&
                        path.starts_with(entry.path)) {
                        return true;
                    }
                }
            }
            const size_t dot = name.find('.');
            name = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
        }
    }
    std::string named(parts.scheme);
    if (!parts.scheme.empty()) {
        named += ':';
    }
    if (parts.hasAuthority) {
        named += "//" + std::string(parts.host);
        if (!parts.port.empty()) {
            named += ":" + std::string(parts.port);
        }
    }
    named += path;
    return includedFragments_.foundIn(named);
}

size_t UrlFilter::memoryBytes() const {
    size_t hosts = 0;
    for (const auto& [name, entries] : includedHosts_) {
        hosts += name.capacity() + entries.capacity() * sizeof(HostEntry);
    }
    return sizeof(*this) + excluded_.memoryBytes() + includedFragments_.memoryBytes() -
           2 * sizeof(SubstringMatcher) + hosts;
}

std::string percentDecoded(std::string_view text) {
    return percentDecoded(text, nullptr);
}

std::string percentDecoded(std::string_view text, std::bitset<256>* produced,
                           std::vector<char>* at) {
    // Each escape is decoded as soon as its last digit arrives, and the byte it gives may close
    // an escape begun before it: one pass reaches what decoding again and again would.
    std::string decoded;
    decoded.reserve(text.size());
    if (at) {
        at->clear();
        at->reserve(text.size());
    }
    for (const char c : text) {
        decoded.push_back(c);
        if (at)
            at->push_back(0);
        size_t size = decoded.size();
        while (size >= 3 && decoded[size - 3] == '%' && hexValue(decoded[size - 2]) >= 0 &&
               hexValue(decoded[size - 1]) >= 0) {
            const int value = hexValue(decoded[size - 2]) * 16 + hexValue(decoded[size - 1]);
            decoded.resize(size - 3);
            decoded.push_back(static_cast<char>(static_cast<unsigned char>(value)));
            if (produced)
                produced->set(static_cast<size_t>(value));
            if (at) {
                at->resize(size - 3);
                at->push_back(1);
            }
            size = decoded.size();
        }
    }
    return decoded;
}

}  // namespace tarn
