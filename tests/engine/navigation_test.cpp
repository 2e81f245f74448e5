// Every top-level navigation reaches BeforeNavigate and a completed one NavigateComplete.
#include <gmock/gmock.h>

#include <QApplication>
#include <QWebEnginePage>

#include <QTest>

#include "browser_fixture.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

using ::testing::Contains;
using ::testing::Not;

using NavigationTest = BrowserTest;

TEST_F(NavigationTest, ATypedAddressRaisesTheLoadEventsInOrder) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    const QString a = url(QStringLiteral("/a"));
    const QStringList order{QStringLiteral("BeforeNavigate ") + a, QStringLiteral("DownloadBegin "),
                            QStringLiteral("NavigateComplete ") + a,
                            QStringLiteral("ProgressChange -1/100"),
                            QStringLiteral("DownloadComplete ")};
    qsizetype at = 0;
    for (const QString& event : order) {
        at = events.indexOf(event, at);
        ASSERT_GE(at, 0) << event.toStdString() << " missing or out of order in "
                         << events.join(QLatin1Char('|')).toStdString();
    }
    EXPECT_THAT(events, Contains(QStringLiteral("TitleChange A")));
    EXPECT_EQ(browser->LocationURL(), a);
    EXPECT_EQ(browser->LocationName(), QStringLiteral("A"));
}

TEST_F(NavigationTest, LinksScriptsAndFormsReachBeforeNavigate) {
    server.addPage(QStringLiteral("/start"),
                   page(QStringLiteral("Start"),
                        QStringLiteral("<a id=link href='/a'>a</a>"
                                       "<form id=form action='/b'><input name=q value=x></form>")));
    struct Case {
        const char* script;
        QString target;
    };
    const Case cases[] = {
        {"document.getElementById('link').click()", url(QStringLiteral("/a"))},
        {"document.getElementById('form').submit()", url(QStringLiteral("/b?q=x"))},
        {"location.href = '/c'", url(QStringLiteral("/c"))},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(open(QStringLiteral("/start")));
        const qsizetype from = events.size();
        runScript(QString::fromLatin1(c.script));
        EXPECT_TRUE(waitFor(QStringLiteral("BeforeNavigate ") + c.target, from)) << c.script;
        EXPECT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + c.target, from)) << c.script;
    }
}

TEST_F(NavigationTest, RedirectsReachBeforeNavigateWithBothAddresses) {
    for (const int status : {301, 302, 307}) {
        const QString path = QStringLiteral("/moved%1").arg(status);
        server.addRedirect(path, QStringLiteral("/b"), status);
        ASSERT_TRUE(open(QStringLiteral("/a")));
        const qsizetype from = events.size();
        browser->Navigate(url(path));
        ASSERT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + url(QStringLiteral("/b")), from))
            << status;
        EXPECT_TRUE(seen(QStringLiteral("BeforeNavigate ") + url(path), from)) << status;
        EXPECT_TRUE(seen(QStringLiteral("BeforeNavigate ") + url(QStringLiteral("/b")), from))
            << status;
        EXPECT_FALSE(seen(QStringLiteral("NavigateComplete ") + url(path), from)) << status;
    }
}

TEST_F(NavigationTest, AMetaRefreshReachesBeforeNavigate) {
    server.addPage(QStringLiteral("/meta"),
                   "<html><head><meta http-equiv='refresh' content='0;url=/b'></head></html>");
    browser->Navigate(url(QStringLiteral("/meta")));
    ASSERT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + url(QStringLiteral("/b"))));
    EXPECT_TRUE(seen(QStringLiteral("BeforeNavigate ") + url(QStringLiteral("/b"))));
}

TEST_F(NavigationTest, BackForwardAndReloadReachBeforeNavigateAndSetTheButtons) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    ASSERT_TRUE(open(QStringLiteral("/b")));
    const QString a = url(QStringLiteral("/a"));
    const QString b = url(QStringLiteral("/b"));
    EXPECT_EQ(events.lastIndexOf(QStringLiteral("CommandStateChange 2 true")), events.size() - 1);

    qsizetype from = events.size();
    browser->GoBack();
    ASSERT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + a, from));
    EXPECT_TRUE(seen(QStringLiteral("BeforeNavigate ") + a, from));
    EXPECT_EQ(events.mid(events.size() - 2),
              (QStringList{QStringLiteral("CommandStateChange 1 true"),
                           QStringLiteral("CommandStateChange 2 false")}));

    from = events.size();
    browser->GoForward();
    ASSERT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + b, from));
    EXPECT_TRUE(seen(QStringLiteral("BeforeNavigate ") + b, from));
    EXPECT_EQ(events.mid(events.size() - 2),
              (QStringList{QStringLiteral("CommandStateChange 1 false"),
                           QStringLiteral("CommandStateChange 2 true")}));

    from = events.size();
    browser->Refresh();
    ASSERT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + b, from));
    EXPECT_TRUE(seen(QStringLiteral("BeforeNavigate ") + b, from));
    EXPECT_EQ(server.hits(QStringLiteral("/b")), 2);
}

TEST_F(NavigationTest, HoveringALinkShowsItsAddressAsStatusText) {
    server.addPage(QStringLiteral("/big"),
                   page(QStringLiteral("Big"),
                        QStringLiteral("<a href='/b' style='position:fixed;left:0;top:0;"
                                       "width:100%;height:100%'>b</a>")));
    ASSERT_TRUE(open(QStringLiteral("/big")));
    QWidget* surface = browser->focusProxy();
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(waitUntil([&] {
        QTest::mouseMove(surface, QPoint(100, 100));
        QTest::mouseMove(surface, QPoint(120, 110));
        return seen(QStringLiteral("StatusTextChange ") + url(QStringLiteral("/b")));
    }));
}

TEST_F(NavigationTest, HomeAndSearchGoToTheirAddresses) {
    EXPECT_TRUE(browser->HomeUrl().startsWith(QStringLiteral("file:///")));
    EXPECT_TRUE(browser->HomeUrl().endsWith(QStringLiteral("/blank.htm")));

    browser->setHomeUrl(url(QStringLiteral("/a")));
    browser->setSearchUrl(url(QStringLiteral("/b")));
    browser->GoHome();
    EXPECT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + url(QStringLiteral("/a"))));
    browser->GoSearch();
    EXPECT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + url(QStringLiteral("/b"))));
}

TEST_F(NavigationTest, FramesAreReportedAndNeverFiltered) {
    server.addPage(QStringLiteral("/frame"), page(QStringLiteral("Frame")));
    server.addPage(QStringLiteral("/outer"),
                   page(QStringLiteral("Outer"), QStringLiteral("<iframe src='/frame'></iframe>")));
    const QString frame = url(QStringLiteral("/frame"));
    refuse = [frame](const QString& u) { return u == frame; };
    ASSERT_TRUE(open(QStringLiteral("/outer")));
    EXPECT_THAT(events, Contains(QStringLiteral("FrameBeforeNavigate ") + frame));
    EXPECT_THAT(events, Contains(QStringLiteral("FrameNavigateComplete ") + frame));
    EXPECT_THAT(events, Not(Contains(QStringLiteral("BeforeNavigate ") + frame)));
    EXPECT_EQ(server.hits(QStringLiteral("/frame")), 1);
}

TEST_F(NavigationTest, AnAddressThatDoesNotLoadShowsTheErrorPageAndTheViewGoesOn) {
    LocalServer closed;
    ASSERT_TRUE(closed.start());
    const QString dead = closed.url(QStringLiteral("/gone")).toString();
    closed.stop();
    browser->Navigate(dead);
    ASSERT_TRUE(waitFor(QStringLiteral("NavigateComplete ") + dead));
    EXPECT_EQ(browser->LocationURL(), dead);
    EXPECT_TRUE(open(QStringLiteral("/a")));

    // A server's own page for an HTTP error is what the view shows for that address too.
    const qsizetype from = events.size();
    browser->Navigate(url(QStringLiteral("/missing")));
    EXPECT_TRUE(
        waitFor(QStringLiteral("NavigateComplete ") + url(QStringLiteral("/missing")), from));
    EXPECT_TRUE(seen(QStringLiteral("DownloadComplete "), from));
}

TEST_F(NavigationTest, NewWindowRequestsAreReportedAndOpenNothing) {
    server.addPage(QStringLiteral("/opener"),
                   page(QStringLiteral("Opener"),
                        QStringLiteral("<a id=blank target=_blank href='/b'>b</a>")));
    ASSERT_TRUE(open(QStringLiteral("/opener")));
    const auto windows = QApplication::topLevelWidgets().size();
    struct Case {
        const char* script;
        QString target;
    };
    const Case cases[] = {
        {"document.getElementById('blank').click()", url(QStringLiteral("/b"))},
        {"window.open('/c')", url(QStringLiteral("/c"))},
    };
    for (const Case& c : cases) {
        const qsizetype from = events.size();
        runScript(QString::fromLatin1(c.script));
        EXPECT_TRUE(waitFor(QStringLiteral("NewWindow ") + c.target, from)) << c.script;
    }
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_EQ(browser->LocationURL(), url(QStringLiteral("/opener")));
    EXPECT_EQ(server.hits(QStringLiteral("/b")) + server.hits(QStringLiteral("/c")), 0);
}

TEST_F(NavigationTest, ALoadThatReachesNoPageSaysSoBeforeItsDownloadComplete) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    server.addHandler(QStringLiteral("/nothing"), [](const LocalServer::Request&) {
        return LocalServer::Response{204, {}, {}};
    });
    const qsizetype from = events.size();
    browser->Navigate(url(QStringLiteral("/nothing")));
    ASSERT_TRUE(waitFor(QStringLiteral("DownloadComplete "), from));
    const QStringList after = since(from);
    const qsizetype abandoned = after.indexOf(QStringLiteral("LoadAbandoned "));
    EXPECT_GE(abandoned, 0);
    EXPECT_LT(abandoned, after.indexOf(QStringLiteral("DownloadComplete ")))
        << after.join(QLatin1Char('|')).toStdString();
    EXPECT_THAT(after, Not(Contains(QStringLiteral("NavigateComplete ") +
                                    url(QStringLiteral("/nothing")))));
    EXPECT_EQ(browser->LocationURL(), url(QStringLiteral("/a")));
}

}  // namespace
}  // namespace tarn::test
