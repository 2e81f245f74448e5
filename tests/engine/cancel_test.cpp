// A cancelled navigation keeps the old page and never looks like a completed load.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWebEnginePage>

#include "browser_fixture.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

class CancelTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        server.addPage(QStringLiteral("/links"),
                       page(QStringLiteral("Links"), QStringLiteral("<a id=link href='/b'>b</a>")));
        server.addPage(QStringLiteral("/meta"),
                       page(QStringLiteral("Meta"),
                            QStringLiteral("<meta http-equiv='refresh' content='1;url=/b'>")));
        server.addRedirect(QStringLiteral("/moved"), QStringLiteral("/b"));
    }
};

struct CancelCase {
    const char* name;
    QStringList visit;   // pages opened first, in order
    QString refused;     // the address BeforeNavigate cancels
    QString stays;       // the page still shown afterwards
    bool firstAccepted;  // a redirect's first address loads before its target is refused
    std::function<void()> trigger;
    std::function<void()> prepare = [] {};
};

TEST_F(CancelTest, EveryKindOfNavigationCanBeCancelled) {
    const QString a = QStringLiteral("/a");
    const QString b = QStringLiteral("/b");
    const std::vector<CancelCase> cases{
        {"typed", {a}, b, a, false, [this] { browser->Navigate(url(QStringLiteral("/b"))); }},
        {"link",
         {QStringLiteral("/links")},
         b,
         QStringLiteral("/links"),
         false,
         [this] { runScript(QStringLiteral("document.getElementById('link').click()")); }},
        {"script", {a}, b, a, false, [this] { runScript(QStringLiteral("location.href = '/b'")); }},
        {"redirect", {a}, b, a, true, [this] { browser->Navigate(url(QStringLiteral("/moved"))); }},
        {"meta refresh", {QStringLiteral("/meta")}, b, QStringLiteral("/meta"), false, [] {}},
        {"back", {a, b}, a, b, false, [this] { browser->GoBack(); }},
        {"forward",
         {a, b},
         b,
         a,
         false,
         [this] { browser->GoForward(); },
         [this] {
             const qsizetype from = events.size();
             browser->GoBack();
             ASSERT_TRUE(
                 waitFor(QStringLiteral("NavigateComplete ") + url(QStringLiteral("/a")), from));
         }},
        {"reload", {a}, a, a, false, [this] { browser->Refresh(); }},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.name);
        refuse = [](const QString&) { return false; };
        for (const QString& path : c.visit)
            ASSERT_TRUE(open(path));
        c.prepare();
        const QString refused = url(c.refused);
        refuse = [refused](const QString& u) { return u == refused; };
        const int hitsBefore = server.hits(c.refused);
        QSignalSpy finished(browser->page(), &QWebEnginePage::loadFinished);
        const qsizetype from = events.size();
        c.trigger();

        ASSERT_TRUE(waitFor(QStringLiteral("BeforeNavigate ") + refused, from));
        // The engine ends the refused load with a failed loadFinished of its own.
        ASSERT_TRUE(waitUntil([&] {
            for (const QList<QVariant>& args : finished) {
                if (!args.at(0).toBool())
                    return true;
            }
            return false;
        }));
        EXPECT_EQ(browser->LocationURL(), url(c.stays));
        EXPECT_EQ(server.hits(c.refused), hitsBefore);
        const QStringList after = since(from);
        EXPECT_TRUE(after.filter(QStringLiteral("NavigateComplete")).isEmpty())
            << after.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(after.count(QStringLiteral("DownloadBegin ")), c.firstAccepted ? 1 : 0);
        EXPECT_EQ(after.count(QStringLiteral("DownloadComplete ")), c.firstAccepted ? 1 : 0);
    }
    // The view goes on working after all of them.
    refuse = [](const QString&) { return false; };
    EXPECT_TRUE(open(QStringLiteral("/c")));
}

}  // namespace
}  // namespace tarn::test
