#include "settings/group_record.h"

#include "settings/admin_area.h"
#include "settings/default_first.h"
#include "settings/password_scramble.h"
#include "settings/record_ids.h"
#include "settings/registry_layout.h"

namespace tarn {
namespace {

enum class Role {
    Plain,
    Password,      // stored scrambled
    ConfigChoice,  // written only by writeGroupConfigChoice
};

// Every group value with its name, its default in the editor and its default in the main
// window, written once for all readers and the writer.
template <class Record, class Visit>
void visitGroupValues(Record& r, Visit&& visit) {
    visit("bGroupUseExcl", r.bGroupUseExcl, false, false, Role::Plain);
    visit("sGroupExclList", r.sGroupExclList, "", "", Role::Plain);
    visit("bGroupUseIncl", r.bGroupUseIncl, false, false, Role::Plain);
    visit("sGroupInclList", r.sGroupInclList, "", "", Role::Plain);
    visit("sGroupFavDir", r.sGroupFavDir, "c:\\tarnview", "c:\\tarnview", Role::Plain);
    visit("bGroupAllowAdmin", r.bGroupAllowAdmin, true, true, Role::Plain);
    visit("bGroupAllowConfig", r.bGroupAllowConfig, true, true, Role::Plain);
    visit("bGroupAllowClose", r.bGroupAllowClose, true, true, Role::Plain);
    visit("iGroupMaxUsage", r.iGroupMaxUsage, 0, 0, Role::Plain);
    visit("iGroupMaxTime", r.iGroupMaxTime, 0, 0, Role::Plain);
    visit("bGroupExtFlag", r.bGroupExtFlag, false, false, Role::Plain);
    visit("iGroupExtMins", r.iGroupExtMins, 5, 5, Role::Plain);
    visit("bGroupInactFlag", r.bGroupInactFlag, false, false, Role::Plain);
    visit("iGroupInactMins", r.iGroupInactMins, 15, 15, Role::Plain);
    // A group never saved in the editor (such as the one the setup wizard makes) dials at start.
    visit("iStartDialParam", r.iStartDialParam, 0, 1, Role::Plain);
    visit("bDisconnectOnClose", r.bDisconnectOnClose, true, true, Role::Plain);
    visit("bGroupAOLFlag", r.bGroupAOLFlag, false, false, Role::Plain);
    visit("bGroupRASFlag", r.bGroupRASFlag, false, false, Role::Plain);
    visit("sAOLprogram", r.sAOLprogram, "", "", Role::Plain);
    visit("sAOLUserName", r.sAOLUserName, "", "", Role::Plain);
    visit("sAOLPassword", r.sAOLPassword, "", "", Role::Password);
    visit("iAOLconnected", r.iAOLconnected, 0, 0, Role::Plain);
    visit("sRASEntry", r.sRASEntry, "", "", Role::Plain);
    visit("sRASUserName", r.sRASUserName, "", "", Role::Plain);
    visit("sRASPassword", r.sRASPassword, "", "", Role::Password);
    visit("bGroupAllowMailLinks", r.bGroupAllowMailLinks, true, true, Role::Plain);
    visit("bGroupAllowMailMenu", r.bGroupAllowMailMenu, true, true, Role::Plain);
    visit("bGroupAllowReadMail", r.bGroupAllowReadMail, true, true, Role::Plain);
    visit("sGroupReadMailProgram", r.sGroupReadMailProgram, "", "", Role::Plain);
    visit("iUserConfigType", r.configChoice.iUserConfigType, 0, 0, Role::ConfigChoice);
    visit("bUserModifyConfig", r.configChoice.bUserModifyConfig, true, false, Role::ConfigChoice);
}

void readValue(const SettingsStore& store, const std::string& section, const char* name,
               bool& value, bool fallback, Role) {
    value = store.read_bool(section, name, fallback);
}

void readValue(const SettingsStore& store, const std::string& section, const char* name, int& value,
               int fallback, Role) {
    value = store.read_int(section, name, fallback);
}

void readValue(const SettingsStore& store, const std::string& section, const char* name,
               std::string& value, const char* fallback, Role role) {
    value = store.read_string(section, name, fallback);
    if (role == Role::Password) {
        value = unscramblePassword(value);
    }
}

void writeValue(SettingsStore& store, const std::string& section, const char* name, bool value,
                Role) {
    store.write_bool(section, name, value);
}

void writeValue(SettingsStore& store, const std::string& section, const char* name, int value,
                Role) {
    store.write_int(section, name, value);
}

void writeValue(SettingsStore& store, const std::string& section, const char* name,
                const std::string& value, Role role) {
    store.write_string(section, name, role == Role::Password ? scramblePassword(value) : value);
}

enum class Reader { Editor, MainWindow };

// Reads the values whose role `wanted` accepts into `record`, with the defaults of `reader`.
template <class Wanted>
void readGroupValues(std::string_view group, Reader reader, GroupRecord& record, Wanted wanted) {
    const std::string section = groupSection(group);
    auto store = openAdminKey(kGroupsKey);
    visitGroupValues(record, [&](const char* name, auto& value, auto editorDefault,
                                 auto windowDefault, Role role) {
        if (wanted(role)) {
            readValue(*store, section, name, value,
                      reader == Reader::Editor ? editorDefault : windowDefault, role);
        }
    });
}

template <class Wanted>
void writeGroupValues(std::string_view group, const GroupRecord& record, Wanted wanted) {
    const std::string section = groupSection(group);
    auto store = openAdminKey(kGroupsKey);
    store->in_transaction([&] {
        visitGroupValues(record, [&](const char* name, const auto& value, auto, auto, Role role) {
            if (wanted(role)) {
                writeValue(*store, section, name, value, role);
            }
        });
    });
}

bool isConfigChoice(Role role) {
    return role == Role::ConfigChoice;
}
bool isEditorValue(Role role) {
    return role != Role::ConfigChoice;
}

}  // namespace

GroupRecord editorGroupDefaults() {
    GroupRecord record;
    visitGroupValues(record, [](const char*, auto& value, auto editorDefault, auto, Role) {
        value = editorDefault;
    });
    return record;
}

GroupRecord policyDefaults() {
    GroupRecord record;
    visitGroupValues(record, [](const char*, auto& value, auto, auto windowDefault, Role) {
        value = windowDefault;
    });
    return record;
}

GroupRecord readGroupForEditor(std::string_view group) {
    GroupRecord record = editorGroupDefaults();
    readGroupValues(group, Reader::Editor, record, isEditorValue);
    return record;
}

GroupRecord readGroupPolicy(std::string_view group) {
    GroupRecord record;
    readGroupValues(group, Reader::MainWindow, record, [](Role) { return true; });
    return record;
}

void writeGroupRecord(std::string_view group, const GroupRecord& record) {
    writeGroupValues(group, record, isEditorValue);
}

GroupConfigChoice readGroupConfigChoice(std::string_view group) {
    GroupRecord record;
    readGroupValues(group, Reader::Editor, record, isConfigChoice);
    return record.configChoice;
}

void writeGroupConfigChoice(std::string_view group, const GroupConfigChoice& choice) {
    GroupRecord record;
    record.configChoice = choice;
    writeGroupValues(group, record, isConfigChoice);
}

std::vector<std::string> listGroups() {
    std::vector<std::string> groups;
    openAdminKey(kGroupsKey)->list_subkeys(groups);
    return withDefaultFirst(std::move(groups), kDefaultGroup);
}

void deleteGroup(std::string_view group) {
    const std::string section = groupSection(group);
    openAdminKey(kGroupsKey)->erase_section(section);
}

}  // namespace tarn
