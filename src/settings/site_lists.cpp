#include "settings/site_lists.h"

#include <cstdint>
#include <optional>
#include <stdexcept>

#include "platform/ascii_case.h"
#include "settings/admin_area.h"
#include "settings/default_first.h"
#include "settings/record_ids.h"
#include "settings/registry_layout.h"
#include "settings/settings_error.h"

namespace tarn {
namespace {

constexpr ListFamily kExclusionParts[] = {ListFamily::URLExclusion, ListFamily::WordExclusion,
                                          ListFamily::URLExclIni};

std::string familyKey(ListFamily family) {
    switch (family) {
        case ListFamily::URLInclusion:
            return "URLInclusion";
        case ListFamily::URLExclusion:
            return "URLExclusion";
        case ListFamily::WordExclusion:
            return "WordExclusion";
        case ListFamily::URLExclIni:
            return "URLExclIni";
    }
    return {};
}

// The part's key relative to the Admin key; the list name is checked like any record id.
std::string partSection(ListFamily family, std::string_view list) {
    requireRecordId(list);
    return familyKey(family) + "\\" + std::string(list);
}

// Creates the part's key; a key that can not be made is an error, not an empty list.
void createPart(ListFamily family, std::string_view list) {
    const std::string path = std::string(kAdminKey) + "\\" + partSection(family, list);
    if (!openAdminKey(path)->has_open_key()) {
        throw SettingsError("Failed to create key " + path);
    }
}

bool sameEntry(std::string_view a, std::string_view b) {
    return a.size() == b.size() && equalsIgnoringCase(a, b);
}

// Whether the box holds a spelling of `entry` the store takes for the same value, the entry at
// `skip` aside.
bool boxHolds(const ListEntries& box, std::string_view entry, size_t skip) {
    for (size_t i = 0; i < box.size(); ++i) {
        if (i != skip && sameEntry(box[i], entry)) {
            return true;
        }
    }
    return false;
}

// Writes to the store what taking the entry at `index` out of the box does to it; the box is
// left for the caller to change once the store has taken it. Only the first spelling of an
// entry is stored. When a later spelling is left, that one becomes the stored one at its own
// place, after the entries first shown between the two: they move up one place each.
void removeFromStore(SettingsStore& store, const std::string& section, const ListEntries& box,
                     size_t index) {
    const std::string_view entry = box[index];
    for (size_t i = 0; i < index; ++i) {
        if (sameEntry(box[i], entry)) {
            return;  // not the stored spelling
        }
    }
    size_t later = index + 1;
    while (later < box.size() && !sameEntry(box[later], entry)) {
        ++later;
    }
    if (later == box.size()) {
        if (box.size() == 1) {
            store.erase_section(section);  // an empty part leaves no key
        } else {
            store.delete_value(section, entry);
        }
        return;
    }
    // Shown again or not, each entry in between is stored at its first showing, so the one
    // stored last comes right before the later spelling's place.
    std::optional<std::int64_t> lastOrder = store.value_order(section, entry);
    std::optional<std::string_view> last;
    for (size_t i = index + 1; lastOrder && i < later; ++i) {
        const auto order = store.value_order(section, box[i]);
        if (order && *order > *lastOrder) {
            lastOrder = order;
            last = box[i];
        }
    }
    if (last) {
        store.move_value_after(section, entry, *last);
    }
    if (box[later] != entry) {
        store.rename_value(section, entry, box[later]);
    }
}

void checkIndex(const ListEntries& box, size_t index) {
    if (index >= box.size()) {
        throw std::out_of_range("no list entry " + std::to_string(index));
    }
}

std::vector<std::string> listNames(ListFamily family) {
    std::vector<std::string> names;
    openAdminKey(std::string(kAdminKey) + "\\" + familyKey(family))->list_subkeys(names);
    return names;
}

}  // namespace

std::vector<std::string> listInclusionListNames() {
    return withDefaultFirst(listNames(ListFamily::URLInclusion), kDefaultInclusionList);
}

std::vector<std::string> listExclusionListNames() {
    return withDefaultFirst(listNames(ListFamily::URLExclusion), kDefaultExclusionList);
}

std::vector<std::string> offeredInclusionListNames() {
    return listNames(ListFamily::URLInclusion);
}

std::vector<std::string> offeredExclusionListNames() {
    for (ListFamily family :
         {ListFamily::URLExclusion, ListFamily::URLExclIni, ListFamily::WordExclusion}) {
        std::vector<std::string> names = listNames(family);
        if (!names.empty()) {
            return names;
        }
    }
    return {};
}

std::vector<std::string> loadListPart(ListFamily family, std::string_view list) {
    std::vector<std::string> entries;
    appendListPart(family, list, entries);
    return entries;
}

void appendListPart(ListFamily family, std::string_view list, std::vector<std::string>& entries) {
    // A name that can not be a list's key has no entries.
    if (isRecordId(list)) {
        openAdminKey(kAdminKey)->append_values(partSection(family, list), entries);
    }
}

ListEntries loadListEntries(ListFamily family, std::string_view list) {
    ListEntries entries;
    eachListEntry(family, list, [&](std::string_view entry) { entries.push_back(entry); });
    return entries;
}

void eachListEntry(ListFamily family, std::string_view list,
                   const std::function<void(std::string_view)>& take) {
    if (isRecordId(list)) {
        openAdminKey(kAdminKey)->each_value(partSection(family, list), take);
    }
}

void saveListPart(ListFamily family, std::string_view list,
                  const std::vector<std::string>& entries) {
    const std::string section = partSection(family, list);
    auto store = openAdminKey(kAdminKey);
    store->in_transaction([&] {
        store->erase_section(section);
        for (const std::string& entry : entries) {
            store->write_bool(section, entry, true);
        }
    });
}

void addListEntry(ListFamily family, std::string_view list, ListEntries& box,
                  std::string_view entry) {
    // A spelling the store holds already changes nothing there.
    if (!boxHolds(box, entry, box.size())) {
        openAdminKey(kAdminKey)->write_bool(partSection(family, list), entry, true);
    }
    box.push_back(entry);
}

void editListEntry(ListFamily family, std::string_view list, ListEntries& box, size_t index,
                   std::string_view entry) {
    checkIndex(box, index);
    const std::string section = partSection(family, list);
    auto store = openAdminKey(kAdminKey);
    store->in_transaction([&] {
        removeFromStore(*store, section, box, index);
        if (!boxHolds(box, entry, index)) {
            store->write_bool(section, entry, true);
        }
    });
    const std::string text(entry);  // `entry` may be a view into the box
    box.erase(index);
    box.push_back(text);
}

void deleteListEntry(ListFamily family, std::string_view list, ListEntries& box, size_t index) {
    checkIndex(box, index);
    const std::string section = partSection(family, list);
    auto store = openAdminKey(kAdminKey);
    store->in_transaction([&] { removeFromStore(*store, section, box, index); });
    box.erase(index);
}

void createInclusionList(std::string_view list) {
    createPart(ListFamily::URLInclusion, list);
}

void createExclusionList(std::string_view list) {
    for (ListFamily family : kExclusionParts) {
        createPart(family, list);
    }
}

void deleteInclusionList(std::string_view list) {
    openAdminKey(kAdminKey)->erase_section(partSection(ListFamily::URLInclusion, list));
}

void deleteExclusionList(std::string_view list) {
    auto store = openAdminKey(kAdminKey);
    store->in_transaction([&] {
        for (ListFamily family : kExclusionParts) {
            store->erase_section(partSection(family, list));
        }
    });
}

}  // namespace tarn
