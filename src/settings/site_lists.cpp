#include "settings/site_lists.h"

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
