#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// How a group's users keep their configuration and favourites; set in the administration
// window, apart from the rest of the record.
struct GroupConfigChoice {
    int iUserConfigType{};     // 0 each user has their own, 1 one set for the whole group
    bool bUserModifyConfig{};  // stored and shown; nothing depends on it

    bool operator==(const GroupConfigChoice&) const = default;
};

// The policy of one group, the values of Admin\Groups\<group>. Members carry the value names.
// Passwords are held in clear here; the store keeps them scrambled.
struct GroupRecord {
    bool bGroupUseExcl{};
    std::string sGroupExclList;
    bool bGroupUseIncl{};
    std::string sGroupInclList;
    std::string sGroupFavDir;
    bool bGroupAllowAdmin{};
    bool bGroupAllowConfig{};
    bool bGroupAllowClose{};
    int iGroupMaxUsage{};
    int iGroupMaxTime{};
    bool bGroupExtFlag{};
    int iGroupExtMins{};
    bool bGroupInactFlag{};
    int iGroupInactMins{};
    int iStartDialParam{};  // 0 on Connect button, 1 at start, 2 at the first navigation
    bool bDisconnectOnClose{};
    bool bGroupAOLFlag{};
    bool bGroupRASFlag{};
    std::string sAOLprogram;
    std::string sAOLUserName;
    std::string sAOLPassword;
    int iAOLconnected{};
    std::string sRASEntry;
    std::string sRASUserName;
    std::string sRASPassword;
    bool bGroupAllowMailLinks{};
    bool bGroupAllowMailMenu{};
    bool bGroupAllowReadMail{};
    std::string sGroupReadMailProgram;
    GroupConfigChoice configChoice;

    bool operator==(const GroupRecord&) const = default;
};

// The record a new group starts from in the group editor.
GroupRecord editorGroupDefaults();

// The group as the group editor shows it: absent values take the editor's defaults.
// configChoice is not read (the administration window reads it with readGroupConfigChoice) and
// holds its defaults.
GroupRecord readGroupForEditor(std::string_view group);

// The policy the main window applies while nobody is signed on: every value at its default.
GroupRecord policyDefaults();

// The group as the main window applies it: absent values take the main window's defaults.
GroupRecord readGroupPolicy(std::string_view group);

// Writes every value except the configuration choice, also those equal to their defaults, in
// one transaction.
void writeGroupRecord(std::string_view group, const GroupRecord& record);

GroupConfigChoice readGroupConfigChoice(std::string_view group);
void writeGroupConfigChoice(std::string_view group, const GroupConfigChoice& choice);

// The subkeys of Admin\Groups with "Default Group" first, whether or not its key exists.
std::vector<std::string> listGroups();

// Erases the group's key with its users.
void deleteGroup(std::string_view group);

}  // namespace tarn
