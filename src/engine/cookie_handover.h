#pragma once

#include <QList>
#include <QNetworkCookie>
#include <filesystem>

class QWebEngineProfile;

namespace tarn {

// A spawned copy browses off the record, yet a site the person is signed in to should stay
// signed in in the new window: the main instance hands its user's cookies over in a file only
// this account can read, and the copy reads it once and deletes it.

// Writes `cookies` to `file`, readable by this account alone. False when it can not.
bool writeCookieHandover(const std::filesystem::path& file, const QList<QNetworkCookie>& cookies);

// The cookies in `file`, which is deleted; none when there is no such file.
QList<QNetworkCookie> takeCookieHandover(const std::filesystem::path& file);

// Where the cookies for the copy holding `token` are handed over.
std::filesystem::path cookieHandoverFile(const std::string& token);

// Puts `cookies` into `profile`'s cookie store.
void seedCookies(QWebEngineProfile* profile, const QList<QNetworkCookie>& cookies);

}  // namespace tarn
