// One run of the program's browsing for a restart test: opens an address in a user's profile,
// then shuts down in the order the main window does. Arguments: address group user.
#include <QApplication>
#include <QTimer>

#include "engine/engine_profiles.h"
#include "engine/web_browser.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 4)
        return 2;
    int result = 1;
    {
        const auto policy =
            std::make_shared<tarn::PolicySlot>(std::make_shared<const tarn::NavigationPolicy>(
                std::make_shared<const tarn::UrlFilter>(), true, std::string()));
        tarn::EngineProfiles profiles(policy);
        QWebEngineProfile* profile =
            profiles.profileFor(arguments[2].toStdString(), arguments[3].toStdString());
        auto browser = std::make_unique<tarn::TWebBrowser>(policy);
        browser->setProfile(profile);
        QObject::connect(browser.get(), &tarn::TWebBrowser::NavigateComplete, &app, [&] {
            result = 0;
            QApplication::quit();
        });
        QTimer::singleShot(30000, &app, &QApplication::quit);
        browser->Navigate(arguments[1]);
        QApplication::exec();
        browser.reset();
        profiles.retire(profile);
    }
    return result;
}
