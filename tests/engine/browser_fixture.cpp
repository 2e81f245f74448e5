#include "browser_fixture.h"

#include <QWebEnginePage>
#include <memory>

#include "platform/program_folder.h"
#include "qt_wait.h"

namespace tarn::test {

std::shared_ptr<const NavigationPolicy> groupPolicy(const GroupLists& lists, bool allowMail) {
    return std::make_shared<const NavigationPolicy>(std::make_shared<const UrlFilter>(lists),
                                                    allowMail, programFolderUrl().toStdString());
}

std::shared_ptr<const PolicySlot> openPolicy() {
    return std::make_shared<const PolicySlot>(groupPolicy({}, true));
}

QByteArray page(const QString& title, const QString& extra) {
    return QStringLiteral(
               "<html><head><title>%1</title></head><body><p>%1 text</p>%2</body></html>")
        .arg(title, extra)
        .toUtf8();
}

void BrowserTest::SetUp() {
    TempEnv::SetUp();
    ASSERT_TRUE(server.start());
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        server.addPage(QLatin1Char('/') + name, page(name.toUpper()));
    }
    policy = std::make_shared<PolicySlot>(openPolicy()->current());
    browser = std::make_unique<TWebBrowser>(policy);
    browser->resize(640, 480);
    browser->show();
    record(*browser);
}

void BrowserTest::TearDown() {
    browser.reset();
    TempEnv::TearDown();
}

void BrowserTest::record(TWebBrowser& view) {
    auto log = [this](const char* event, const QString& argument) {
        events.append(QString::fromLatin1(event) + QLatin1Char(' ') + argument);
    };
    QObject::connect(
        &view, &TWebBrowser::NavigationRefused, &view,
        [log](const QString& u, const QString& status, bool logged) {
            log("NavigationRefused",
                u + QLatin1Char(' ') + status + (logged ? QStringLiteral(" logged") : QString()));
        });
    QObject::connect(
        &view, &TWebBrowser::FrameNavigationRefused, &view, [log](const QString& u, bool logged) {
            log("FrameNavigationRefused", u + (logged ? QStringLiteral(" logged") : QString()));
        });
    QObject::connect(&view, &TWebBrowser::BeforeNavigate, &view,
                     [this, log](const QString& u, bool& cancel) {
                         log("BeforeNavigate", u);
                         cancel = refuse(u);
                     });
    QObject::connect(&view, &TWebBrowser::FrameBeforeNavigate, &view,
                     [log](const QString& u) { log("FrameBeforeNavigate", u); });
    QObject::connect(&view, &TWebBrowser::NavigateComplete, &view,
                     [log](const QString& u) { log("NavigateComplete", u); });
    QObject::connect(&view, &TWebBrowser::FrameNavigateComplete, &view,
                     [log](const QString& u) { log("FrameNavigateComplete", u); });
    QObject::connect(&view, &TWebBrowser::StatusTextChange, &view,
                     [log](const QString& text) { log("StatusTextChange", text); });
    QObject::connect(&view, &TWebBrowser::TitleChange, &view,
                     [log](const QString& text) { log("TitleChange", text); });
    QObject::connect(&view, &TWebBrowser::ProgressChange, &view, [log](int progress, int max) {
        log("ProgressChange", QStringLiteral("%1/%2").arg(progress).arg(max));
    });
    QObject::connect(
        &view, &TWebBrowser::CommandStateChange, &view, [log](int command, bool enable) {
            log("CommandStateChange",
                QStringLiteral("%1 %2").arg(command).arg(enable ? QStringLiteral("true")
                                                                : QStringLiteral("false")));
        });
    QObject::connect(&view, &TWebBrowser::DownloadBegin, &view,
                     [log] { log("DownloadBegin", QString()); });
    QObject::connect(&view, &TWebBrowser::LoadAbandoned, &view,
                     [log] { log("LoadAbandoned", QString()); });
    QObject::connect(&view, &TWebBrowser::DownloadComplete, &view,
                     [log] { log("DownloadComplete", QString()); });
    QObject::connect(&view, &TWebBrowser::NewWindow, &view,
                     [log](const QString& u, bool& processed) {
                         log("NewWindow", u);
                         processed = true;
                     });
}

bool BrowserTest::open(const QString& path) {
    const qsizetype from = events.size();
    browser->Navigate(url(path));
    return waitFor(QStringLiteral("NavigateComplete ") + url(path), from) &&
           waitFor(QStringLiteral("DownloadComplete "), from);
}

bool BrowserTest::waitFor(const QString& event, qsizetype from, int timeoutMs) {
    return waitUntil([&] { return seen(event, from); }, timeoutMs);
}

bool BrowserTest::seen(const QString& event, qsizetype from) const {
    return events.indexOf(event, from) >= 0;
}

void BrowserTest::runScript(const QString& script) {
    auto done = std::make_shared<bool>(false);
    browser->page()->runJavaScript(script, [done](const QVariant&) { *done = true; });
    waitUntil([&] { return *done; });
}

}  // namespace tarn::test
