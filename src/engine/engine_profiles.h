#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "policy/navigation_policy.h"

class QWebEngineProfile;

namespace tarn {

// The engine profiles the panes browse in; destroy it only after every page on its profiles. On a
// shared computer the next person must not inherit the last one's web sessions: each signed-on user
// has a persistent profile of their own (cookies, cache, site storage) kept with their
// configuration, and the anonymous user browses off the record.
class EngineProfiles : public QObject {
  public:
    // Every request of every profile is put to `policy`.
    explicit EngineProfiles(std::shared_ptr<const PolicySlot> policy);
    ~EngineProfiles() override;

    // An empty user or "Default User" (any case) gets a fresh off-the-record profile; any other
    // user their persistent one, the same object while it is in use.
    QWebEngineProfile* profileFor(const std::string& group, const std::string& user);
    // Lets go of a profile. An off-the-record one is deleted once no page uses it, taking its
    // session with it; a persistent one is kept for the user's next sign-on and goes with this
    // object, its data staying on disk.
    void retire(QWebEngineProfile* profile);

    // From now on every profile is off the record, a user's too: a spawned copy runs beside its
    // main instance, and two processes must never share one profile folder.
    void keepOffTheRecord() { offTheRecordOnly_ = true; }

    // The cookies of the profile the window browses in, as its store has reported them.
    QList<QNetworkCookie> currentCookies() const;

    // Makes the profile of `group` and `user` the one the window browses in, retiring the one it
    // replaces; nullptr when theirs is the current one already.
    QWebEngineProfile* switchTo(const std::string& group, const std::string& user);

  private:
    QWebEngineProfile* guarded(QWebEngineProfile* profile);

    std::shared_ptr<const PolicySlot> policy_;
    std::map<std::filesystem::path, QWebEngineProfile*> persistent_;
    QWebEngineProfile* current_{};
    bool offTheRecordOnly_ = false;
    std::map<const QWebEngineProfile*, QList<QNetworkCookie>> cookies_;
    std::string currentGroup_, currentUser_;
};

// The folder of a user's persistent profile: <config folder>/profiles/<group>/<user>, both
// names lower-cased and percent-encoded except for [A-Za-z0-9_-].
std::filesystem::path profileFolder(const std::string& group, const std::string& user);

}  // namespace tarn
