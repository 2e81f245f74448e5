#include "engine/engine_profiles.h"

#include <utility>

#include <QApplication>
#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <cctype>

#include "engine/profile_guard.h"
#include "engine/web_browser.h"
#include "platform/paths.h"

namespace tarn {
namespace {

// User ids match without regard to case, so one person always lands in one folder.
std::string safeName(const std::string& name) {
    static const char hex[] = "0123456789ABCDEF";
    std::string safe;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
        if (std::isalnum(byte) || byte == '_' || byte == '-') {
            safe += static_cast<char>(byte);
        } else {
            safe += '%';
            safe += hex[byte >> 4];
            safe += hex[byte & 0x0F];
        }
    }
    return safe;
}

bool isAnonymous(const std::string& user) {
    std::string lower;
    for (const char c : user)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.empty() || lower == "default user";
}

QString qs(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The browsers whose page still browses in `profile`.
QList<TWebBrowser*> browsersOn(const QWebEngineProfile* profile) {
    QList<TWebBrowser*> browsers;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* browser = qobject_cast<TWebBrowser*>(widget);
        if (browser && browser->profile() == profile)
            browsers.append(browser);
    }
    return browsers;
}

}  // namespace

std::filesystem::path profileFolder(const std::string& group, const std::string& user) {
    return configFolder() / "profiles" / safeName(group.empty() ? "Default Group" : group) /
           safeName(user);
}

EngineProfiles::EngineProfiles(std::shared_ptr<const PolicySlot> policy)
    : policy_(std::move(policy)) {}

QWebEngineProfile* EngineProfiles::guarded(QWebEngineProfile* profile) {
    guardProfile(profile, policy_);
    return profile;
}

// Profiles are children of this object and go with it.
EngineProfiles::~EngineProfiles() = default;

QWebEngineProfile* EngineProfiles::profileFor(const std::string& group, const std::string& user) {
    if (offTheRecordOnly_ || isAnonymous(user))
        return guarded(new QWebEngineProfile(this));
    const std::filesystem::path folder = profileFolder(group, user);
    if (const auto found = persistent_.find(folder); found != persistent_.end()) {
        return found->second;
    }
    const std::string storageName =
        "tarnview." + folder.parent_path().filename().string() + "." + folder.filename().string();
    auto* profile = guarded(new QWebEngineProfile(QString::fromStdString(storageName), this));
    profile->setPersistentStoragePath(qs(folder));
    profile->setCachePath(qs(folder / "cache"));
    persistent_.emplace(folder, profile);
    // The store tells its cookies only as they come and go; a spawned copy is handed them.
    QWebEngineCookieStore* store = profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [this, profile](const QNetworkCookie& cookie) {
                QList<QNetworkCookie>& jar = cookies_[profile];
                jar.removeIf(
                    [&](const QNetworkCookie& held) { return held.hasSameIdentifier(cookie); });
                jar.append(cookie);
            });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
            [this, profile](const QNetworkCookie& cookie) {
                cookies_[profile].removeIf(
                    [&](const QNetworkCookie& held) { return held.hasSameIdentifier(cookie); });
            });
    store->loadAllCookies();
    return profile;
}

void EngineProfiles::retire(QWebEngineProfile* profile) {
    // A persistent profile stays for the user's next sign-on in this run: a second profile on
    // the same folder would read the store before the first had finished writing it.
    if (!profile->isOffTheRecord())
        return;
    const QList<TWebBrowser*> users = browsersOn(profile);
    if (!users.isEmpty()) {
        // Try again when that page has gone; the profile must outlive its pages.
        QPointer<QWebEngineProfile> waiting(profile);
        connect(users.first()->page(), &QObject::destroyed, this, [this, waiting] {
            if (waiting)
                retire(waiting);
        });
        return;
    }
    delete profile;
}

QList<QNetworkCookie> EngineProfiles::currentCookies() const {
    const auto found = cookies_.find(current_);
    return found == cookies_.end() ? QList<QNetworkCookie>() : found->second;
}

QWebEngineProfile* EngineProfiles::switchTo(const std::string& group, const std::string& user) {
    if (current_ && group == currentGroup_ && user == currentUser_)
        return nullptr;
    QWebEngineProfile* old = std::exchange(current_, profileFor(group, user));
    currentGroup_ = group;
    currentUser_ = user;
    // Its pages are still open; retiring waits for them to go.
    if (old)
        retire(old);
    return current_;
}

}  // namespace tarn
