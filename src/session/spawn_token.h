#pragma once

#include <string>

#include "platform/clock.h"

namespace tarn {

// A spawned copy browses as the main instance's user, so it must never be a way in: started by
// hand with someone else's group and user it would browse as them. The main instance gives each
// copy it starts a one-time token, kept in the per-user hive for a short while; the copy runs
// only when it can claim a token given for its group and user.

// A new token for a copy of `user` in `group`.
std::string issueSpawnToken(const std::string& group, const std::string& user, const Clock& clock);

// Claims `token` for `group` and `user`: true once, within a minute of its issue. A token is
// gone after any claim, matching or not.
bool claimSpawnToken(const std::string& token, const std::string& group, const std::string& user,
                     const Clock& clock);

}  // namespace tarn
