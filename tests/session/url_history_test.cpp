#include "session/url_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn {
namespace {

using Items = std::vector<std::string>;
using Boxes = std::array<Items, 4>;

class ListBox : public HistoryBox {
  public:
    explicit ListBox(Items& items) : items_(items) {}
    int count() const override { return static_cast<int>(items_.size()); }
    std::string item(int index) const override { return items_.at(static_cast<size_t>(index)); }
    void insertTop(const std::string& text) override { items_.insert(items_.begin(), text); }
    void removeLast() override { items_.pop_back(); }

  private:
    Items& items_;
};

Boxes add(Boxes boxes, std::string_view address, int pane, int iUrlHistory, int maxEntries = 25) {
    ListBox b1(boxes[0]), b2(boxes[1]), b3(boxes[2]), b4(boxes[3]);
    addToHistory({&b1, &b2, &b3, &b4}, address, pane, iUrlHistory, maxEntries);
    return boxes;
}

Items numbered(int count) {
    Items items;
    for (int i = 0; i < count; ++i) {
        items.push_back("http://127.0.0.1/" + std::to_string(i));
    }
    return items;
}

struct HistoryCase {
    const char* what;
    int iUrlHistory;
    int pane;
    Boxes before;
    const char* address;
    Boxes after;
};

TEST(UrlHistoryTest, AddressGoesToTheTopOfTheBoxesThatTakePart) {
    const HistoryCase cases[] = {
        {"per pane",
         2,
         3,
         {Items{"x"}, {}, {"old"}, {}},
         "new",
         {Items{"x"}, {}, {"new", "old"}, {}}},
        {"unsaved is per pane", 0, 1, {}, "new", {Items{"new"}, {}, {}, {}}},
        {"global",
         1,
         2,
         {Items{"a"}, {"b"}, {}, {}},
         "new",
         {Items{"new", "a"}, {"new", "b"}, {"new"}, {"new"}}},
        {"duplicate in another letter case",
         2,
         2,
         {Items{}, {"a", "HTTP://Host/Page"}, {}, {}},
         "http://host/page",
         {Items{}, {"a", "HTTP://Host/Page"}, {}, {}}},
        {"global, present in pane 1: no box gets it",
         1,
         3,
         {Items{"A"}, {}, {}, {}},
         "a",
         {Items{"A"}, {}, {}, {}}},
        {"global, present in box 3: the boxes before it get it",
         1,
         1,
         {Items{}, {}, {"page"}, {}},
         "PAGE",
         {Items{"PAGE"}, {"PAGE"}, {"page"}, {}}},
        {"a longer entry is not a duplicate",
         2,
         1,
         {Items{"http://host/page2"}, {}, {}, {}},
         "http://host/page",
         {Items{"http://host/page", "http://host/page2"}, {}, {}, {}}},
        {"unknown mode", 3, 1, {}, "new", {}},
        {"negative mode", -1, 1, {}, "new", {}},
        {"empty address", 1, 1, {Items{"a"}, {}, {}, {}}, "", {Items{"a"}, {}, {}, {}}},
    };
    for (const HistoryCase& c : cases) {
        EXPECT_EQ(add(c.before, c.address, c.pane, c.iUrlHistory), c.after) << c.what;
    }
}

TEST(UrlHistoryTest, TrimmingRemovesOneItemOnly) {
    // A box loaded with more saved entries than the maximum keeps its size.
    Boxes boxes{numbered(40), {}, {}, {}};
    boxes = add(boxes, "http://new/1", 1, 2, 25);
    ASSERT_EQ(boxes[0].size(), 40u);
    EXPECT_EQ(boxes[0].front(), "http://new/1");
    EXPECT_EQ(boxes[0].back(), "http://127.0.0.1/38");
    boxes = add(boxes, "http://new/2", 1, 2, 25);
    EXPECT_EQ(boxes[0].size(), 40u);

    // At the maximum the oldest entry makes room.
    boxes = add(Boxes{numbered(25), {}, {}, {}}, "http://new", 1, 2, 25);
    EXPECT_EQ(boxes[0].size(), 25u);
    EXPECT_EQ(boxes[0].back(), "http://127.0.0.1/23");

    // Below it the box grows.
    boxes = add(Boxes{numbered(3), {}, {}, {}}, "http://new", 1, 2, 25);
    EXPECT_EQ(boxes[0].size(), 4u);

    // A maximum of 0 keeps nothing new.
    EXPECT_EQ(add(Boxes{}, "http://new", 1, 2, 0), Boxes{});
}

}  // namespace
}  // namespace tarn
