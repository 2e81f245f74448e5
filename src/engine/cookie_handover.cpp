#include "engine/cookie_handover.h"

#include <QFile>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <system_error>

#include "platform/paths.h"

namespace tarn {

bool writeCookieHandover(const std::filesystem::path& file, const QList<QNetworkCookie>& cookies) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    QFile out(QString::fromStdString(file.string()));
    // The permissions are set before anything is written.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !out.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return false;
    for (const QNetworkCookie& cookie : cookies)
        out.write(cookie.toRawForm(QNetworkCookie::Full) + '\n');
    return out.flush();
}

QList<QNetworkCookie> takeCookieHandover(const std::filesystem::path& file) {
    QList<QNetworkCookie> cookies;
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly))
        return cookies;
    while (!in.atEnd()) {
        const QByteArray line = in.readLine().trimmed();
        if (!line.isEmpty())
            cookies.append(QNetworkCookie::parseCookies(line));
    }
    in.remove();
    return cookies;
}

std::filesystem::path cookieHandoverFile(const std::string& token) {
    return configFolder() / "handover" / (token + ".cookies");
}

void seedCookies(QWebEngineProfile* profile, const QList<QNetworkCookie>& cookies) {
    for (const QNetworkCookie& cookie : cookies)
        profile->cookieStore()->setCookie(cookie);
}

}  // namespace tarn
