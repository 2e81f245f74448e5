#include "session/admin_access.h"

#include "settings/admin_area.h"
#include "settings/admin_values.h"
#include "settings/group_record.h"
#include "settings/registry_layout.h"
#include "settings/setting.h"

namespace tarn {

AdminGate readAdminGate(std::string_view group) {
    AdminGate gate;
    gate.allowed = readGroupPolicy(group).bGroupAllowAdmin;
    const auto store = openAdminKey(kAdminKey, false);
    gate.passwordAsked = readSetting(*store, "", admin::bAdminSec);
    gate.storedHash = readSetting(*store, "", admin::sSecPass);
    return gate;
}

}  // namespace tarn
