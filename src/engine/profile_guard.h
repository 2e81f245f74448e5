#pragma once

#include <memory>

#include "policy/navigation_policy.h"

class QWebEngineProfile;

namespace tarn {

// Readies a profile before any page browses in it: every request passes `policy`, and so does
// every connection the engine opens; a local page (a saved page opened again) reads no other
// local file and reaches no web address, so it can not read the hives or carry what it finds
// elsewhere; and every frame runs the page guard.
void guardProfile(QWebEngineProfile* profile, std::shared_ptr<const PolicySlot> policy);

}  // namespace tarn
