// The ways round the lists a person with a keyboard and pages of their own would try: script
// and data addresses, frames, a page's own requests, other programs' schemes. A "bad" and a
// "good" site are two names of the local server (*.localhost reaches 127.0.0.1).
#include <gmock/gmock.h>

#include <QApplication>
#include <QDesktopServices>
#include <QImage>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include "browser_fixture.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

// Stands in for the desktop's handler of a scheme, to see whether the engine hands it anything.
class SchemeRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// A one-page PDF with a line of text; with `link`, the whole page is a link there.
QByteArray minimalPdf(const QByteArray& link = {}) {
    const QByteArray stream = "BT /F1 24 Tf 72 720 Td (Hello) Tj ET";
    QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >>" +
            (link.isEmpty() ? QByteArray() : QByteArray(" /Annots [6 0 R]")) + " >>",
        "<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    if (!link.isEmpty()) {
        objects.append(
            "<< /Type /Annot /Subtype /Link /Rect [0 0 612 792] /Border [0 0 0] "
            "/A << /S /URI /URI (" +
            link + ") >> >>");
    }
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype table = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(table) + "\n%%EOF\n";
    return pdf;
}

enum class ListKind { Exclusion, Inclusion, Both };

class SupervisionTest : public BrowserTest, public ::testing::WithParamInterface<ListKind> {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        GroupLists lists;
        if (GetParam() != ListKind::Inclusion)
            lists.ExclusionList = {"bad.localhost"};
        if (GetParam() != ListKind::Exclusion)
            lists.InclusionList = {"good.localhost"};
        policy->replace(groupPolicy(lists, true));
        server.addPage(QStringLiteral("/secret"), page(QStringLiteral("Secret")));
        server.addPage(QStringLiteral("/good"), page(QStringLiteral("Good")));
    }

    // An address on the good or the bad site.
    QString at(const char* site, const QString& path) const {
        return QStringLiteral("http://%1.localhost:%2%3")
            .arg(QLatin1String(site))
            .arg(server.port())
            .arg(path);
    }
    QString good(const QString& path) const { return at("good", path); }
    QString bad() const { return at("bad", QStringLiteral("/secret")); }

    bool openGood(const QString& path) {
        const qsizetype from = events.size();
        browser->Navigate(good(path));
        return waitFor(QStringLiteral("NavigateComplete ") + good(path), from) &&
               waitFor(QStringLiteral("DownloadComplete "), from);
    }

    // Requests that reached the bad site.
    int badHits() const {
        int hits = 0;
        for (const LocalServer::Request& request : server.requests()) {
            if (request.headers.value("host").startsWith("bad.localhost"))
                ++hits;
        }
        return hits;
    }

    // Under an exclusion list a refusal is an excluded-site attempt; an address only missing
    // from an inclusion list is not logged.
    QString refusal(const QString& address, bool byScheme = false) const {
        const bool logged = byScheme || GetParam() != ListKind::Inclusion;
        return address + QStringLiteral(" excluding: ") + address +
               (logged ? QStringLiteral(" logged") : QString());
    }

    // An event that starts with `prefix`, from entry `from` on.
    bool seenPrefix(const QString& prefix, qsizetype from) const {
        return std::any_of(events.begin() + from, events.end(),
                           [&](const QString& event) { return event.startsWith(prefix); });
    }
    bool waitForPrefix(const QString& prefix, qsizetype from) {
        return waitUntil([&] { return seenPrefix(prefix, from); });
    }

    QString frameRefusal() const {
        return QStringLiteral("FrameNavigationRefused ") + bad() +
               (GetParam() != ListKind::Inclusion ? QStringLiteral(" logged") : QString());
    }

    // What a script says, once run in the page.
    QVariant evaluate(const QString& script) {
        QVariant result;
        bool done = false;
        browser->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        waitUntil([&] { return done; });
        return result;
    }
};

TEST_P(SupervisionTest, ScriptDataAndEnginePagesTypedAsAddressesAreRefusedAndLogged) {
    ASSERT_TRUE(openGood(QStringLiteral("/good")));
    const QString frameOfBad =
        QStringLiteral("javascript:document.body.innerHTML='<iframe src=%1></iframe>'").arg(bad());
    const QStringList typed{
        frameOfBad,
        QStringLiteral("about:blank"),
        QStringLiteral("data:text/html,<script>location='http://b'+'ad.localhost:%1/secret'"
                       "</script>")
            .arg(server.port()),
        QStringLiteral("view-source:") + good(QStringLiteral("/good")),
        QStringLiteral("chrome://version"),
        QStringLiteral("file:///etc/passwd"),
    };
    for (const QString& address : typed) {
        const qsizetype from = events.size();
        browser->Navigate(address);
        const QString expected = QUrl::fromUserInput(address).toString();
        EXPECT_TRUE(waitFor(QStringLiteral("NavigationRefused ") + refusal(expected, true), from))
            << address.toStdString() << "\n"
            << since(from).join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(seenPrefix(QStringLiteral("BeforeNavigate "), from)) << address.toStdString();
    }
    QTest::qWait(500);
    EXPECT_EQ(browser->LocationURL(), good(QStringLiteral("/good")));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementsByTagName('iframe').length")).toInt(),
              0);
    EXPECT_EQ(badHits(), 0);
}

TEST_P(SupervisionTest, APageCanNotTakeThePaneToAPageItBuilt) {
    ASSERT_TRUE(openGood(QStringLiteral("/good")));
    const QString html = QStringLiteral("<iframe src=%1></iframe>").arg(bad());
    qsizetype from = events.size();
    runScript(
        QStringLiteral("location = URL.createObjectURL(new Blob(['%1'], {type: 'text/html'}))")
            .arg(html));
    EXPECT_TRUE(
        waitForPrefix(QStringLiteral("NavigationRefused blob:http://good.localhost"), from));
    // The engine itself keeps a page from opening a data: address in the pane.
    runScript(QStringLiteral("location = 'data:text/html,%1'").arg(html));
    QTest::qWait(500);
    EXPECT_FALSE(seenPrefix(QStringLiteral("BeforeNavigate "), from))
        << since(from).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(browser->LocationURL(), good(QStringLiteral("/good")));
    EXPECT_EQ(badHits(), 0);
}

TEST_P(SupervisionTest, FramesOfARefusedSiteStayEmptyHoweverTheyAreReached) {
    const QString frameOf = QStringLiteral("<iframe src=\"%1\"></iframe>");
    server.addPage(QStringLiteral("/direct"), page(QStringLiteral("Direct"), frameOf.arg(bad())));
    server.addPage(QStringLiteral("/nested"),
                   page(QStringLiteral("Nested"), frameOf.arg(good(QStringLiteral("/direct")))));
    server.addPage(QStringLiteral("/srcdoc"),
                   page(QStringLiteral("Srcdoc"),
                        QStringLiteral("<iframe srcdoc=\"<script>location.href='%1'</script>\">"
                                       "</iframe>")
                            .arg(bad())));
    server.addPage(QStringLiteral("/to-bad"),
                   QStringLiteral("<html><head><meta http-equiv=\"refresh\" content=\"0; url=%1\">"
                                  "</head></html>")
                       .arg(bad())
                       .toUtf8());
    server.addPage(QStringLiteral("/meta"),
                   page(QStringLiteral("Meta"), frameOf.arg(good(QStringLiteral("/to-bad")))));
    server.addRedirect(QStringLiteral("/moved"), bad());
    server.addPage(QStringLiteral("/redirect"),
                   page(QStringLiteral("Redirect"), frameOf.arg(good(QStringLiteral("/moved")))));
    server.addPage(QStringLiteral("/frameset"),
                   QStringLiteral("<html><head><title>Frameset</title></head><frameset cols=\"*\">"
                                  "<frame src=\"%1\"></frameset></html>")
                       .arg(bad())
                       .toUtf8());
    for (const char* path : {"/direct", "/nested", "/srcdoc", "/meta", "/redirect", "/frameset"}) {
        const qsizetype from = events.size();
        ASSERT_TRUE(openGood(QString::fromLatin1(path))) << path;
        QTest::qWait(500);
        EXPECT_EQ(badHits(), 0) << path;
        EXPECT_EQ(browser->LocationURL(), good(QString::fromLatin1(path)));
        EXPECT_FALSE(seenPrefix(QStringLiteral("NavigationRefused "), from)) << path;
        EXPECT_TRUE(seen(frameRefusal(), from))
            << path << "\n"
            << since(from).join(QLatin1Char('\n')).toStdString();
    }
}

TEST_P(SupervisionTest, LinksFollowedInsideAFrameAreJudgedToo) {
    server.addPage(
        QStringLiteral("/links"),
        page(QStringLiteral("Links"), QStringLiteral("<a id=\"l\" href=\"%1\">go</a>").arg(bad())));
    server.addPage(QStringLiteral("/full"),
                   page(QStringLiteral("Full"),
                        QStringLiteral("<iframe style=\"width:100%;height:100%\" src=\"%1\">"
                                       "</iframe>")
                            .arg(good(QStringLiteral("/links")))));
    ASSERT_TRUE(openGood(QStringLiteral("/full")));
    ASSERT_TRUE(waitUntil([&] { return server.hits(QStringLiteral("/links")) == 1; }));
    QTest::qWait(300);
    const qsizetype from = events.size();
    runScript(QStringLiteral("frames[0].document.getElementById('l').click()"));
    EXPECT_TRUE(waitFor(frameRefusal(), from)) << since(from).join(QLatin1Char('\n')).toStdString();
    QTest::qWait(300);
    EXPECT_EQ(badHits(), 0);
}

TEST_P(SupervisionTest, OtherProgramsSchemesAreRefusedAndNeverHandedOn) {
    SchemeRecorder recorder;
    for (const QString& scheme : {QStringLiteral("tel"), QStringLiteral("irc")})
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    server.addPage(QStringLiteral("/call"),
                   "<html><title>Call</title><body style=\"margin:0\"><a href=\"tel:5551234\" "
                   "style=\"display:block;width:300px;height:100px\">call</a><a "
                   "href=\"irc://irc.example/chat\" style=\"display:block;width:300px;"
                   "height:100px\">chat</a></body></html>");
    ASSERT_TRUE(openGood(QStringLiteral("/call")));
    QWidget* view = browser->focusProxy();
    for (const QPoint& link : {QPoint(40, 40), QPoint(40, 140)}) {
        QTest::mouseClick(view, Qt::LeftButton, {}, link);
        QTest::qWait(300);
        QTest::mouseClick(view, Qt::LeftButton, {}, link);
    }
    EXPECT_TRUE(
        waitFor(QStringLiteral("NavigationRefused tel:5551234 excluding: tel:5551234 "
                               "logged")))
        << events.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(
        waitFor(QStringLiteral("NavigationRefused irc://irc.example/chat excluding: "
                               "irc://irc.example/chat logged")));
    QTest::qWait(300);
    EXPECT_TRUE(recorder.opened.isEmpty());
    for (const QString& scheme : {QStringLiteral("tel"), QStringLiteral("irc")})
        QDesktopServices::unsetUrlHandler(scheme);
}

INSTANTIATE_TEST_SUITE_P(Lists, SupervisionTest,
                         ::testing::Values(ListKind::Exclusion, ListKind::Inclusion),
                         [](const ::testing::TestParamInfo<ListKind>& param) {
                             return param.param == ListKind::Exclusion ? "Exclusion" : "Inclusion";
                         });

// A page's own requests pass the exclusions alone: parts from hosts the inclusion list leaves
// out still load, parts from an excluded one never leave.
using RequestTest = SupervisionTest;

TEST_P(RequestTest, ImagesScriptsFetchSocketsAndDownloadsOfAnExcludedHostNeverLeave) {
    const QString cdn = at("cdn", QStringLiteral("/picture.png"));
    server.addPage(QStringLiteral("/picture.png"), "not really a picture", "image/png");
    server.addPage(
        QStringLiteral("/parts"),
        page(QStringLiteral("Parts"),
             QStringLiteral("<img src=\"%1\"><img src=\"%2\"><script src=\"%2\"></script>"
                            "<script>fetch('%2').catch(() => {});"
                            "const x = new XMLHttpRequest(); x.open('GET', '%2'); x.send();"
                            "try { new WebSocket('ws://bad.localhost:%3/socket'); } catch (e) {}"
                            "</script>")
                 .arg(cdn, bad())
                 .arg(server.port())));
    ASSERT_TRUE(openGood(QStringLiteral("/parts")));
    ASSERT_TRUE(waitUntil([&] { return server.hits(QStringLiteral("/picture.png")) > 0; }))
        << "a part from another host must load";
    browser->page()->download(QUrl(bad()));
    QTest::qWait(800);
    EXPECT_EQ(badHits(), 0);
}

TEST_P(RequestTest, AServiceWorkerCanNotServeAnExcludedSiteAsItsOwnPage) {
    server.addPage(QStringLiteral("/sw.js"),
                   QStringLiteral("self.addEventListener('install', e => self.skipWaiting());"
                                  "self.addEventListener('activate', e => "
                                  "e.waitUntil(clients.claim()));"
                                  "self.addEventListener('fetch', e => {"
                                  "  if (e.request.url.endsWith('/proxied'))"
                                  "    e.respondWith(fetch('%1').catch(() => "
                                  "      new Response('<title>Refused</title>', "
                                  "{headers: {'Content-Type': 'text/html'}})));"
                                  "});")
                       .arg(bad())
                       .toUtf8(),
                   "text/javascript");
    server.addPage(QStringLiteral("/worker"),
                   page(QStringLiteral("Worker"),
                        QStringLiteral("<script>navigator.serviceWorker.register('/sw.js')"
                                       ".then(() => navigator.serviceWorker.ready)"
                                       ".then(() => { document.title = 'Ready'; });</script>")));
    ASSERT_TRUE(openGood(QStringLiteral("/worker")));
    ASSERT_TRUE(waitFor(QStringLiteral("TitleChange Ready")));
    const qsizetype from = events.size();
    browser->Navigate(good(QStringLiteral("/proxied")));
    ASSERT_TRUE(waitFor(QStringLiteral("TitleChange Refused"), from))
        << since(from).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(server.hits(QStringLiteral("/proxied")), 0) << "the worker must have answered";
    EXPECT_EQ(badHits(), 0);
}

TEST_P(RequestTest, APdfShowsInThePaneWithTheEnginesViewer) {
    server.addPage(QStringLiteral("/doc.pdf"), minimalPdf(), "application/pdf");
    int downloads = 0;
    QObject::connect(browser->page()->profile(), &QWebEngineProfile::downloadRequested,
                     browser.get(), [&](QWebEngineDownloadRequest*) { ++downloads; });
    const qsizetype from = events.size();
    browser->Navigate(good(QStringLiteral("/doc.pdf")));
    EXPECT_TRUE(
        waitFor(QStringLiteral("NavigateComplete ") + good(QStringLiteral("/doc.pdf")), from))
        << since(from).join(QLatin1Char('\n')).toStdString();
    QTest::qWait(1000);
    EXPECT_EQ(downloads, 0);
    EXPECT_FALSE(seenPrefix(QStringLiteral("NavigationRefused"), from))
        << since(from).join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(seenPrefix(QStringLiteral("FrameNavigationRefused"), from))
        << since(from).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(browser->LocationURL(), good(QStringLiteral("/doc.pdf")));
}

// The share of the view's pixels that are near white: a shown PDF page is white, the viewer
// around it dark.
double whiteShare(QWidget& view) {
    const QImage image = view.grab().toImage();
    qsizetype white = 0;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            const QColor pixel = image.pixelColor(x, y);
            white += pixel.red() > 240 && pixel.green() > 240 && pixel.blue() > 240;
        }
    }
    return static_cast<double>(white) * 16 / (image.width() * image.height());
}

TEST_P(RequestTest, APdfRendersWithoutAGraphicsCardAndItsLinksAreJudged) {
    server.addPage(QStringLiteral("/link.pdf"), minimalPdf(bad().toUtf8()), "application/pdf");
    const qsizetype from = events.size();
    browser->Navigate(good(QStringLiteral("/link.pdf")));
    ASSERT_TRUE(
        waitFor(QStringLiteral("NavigateComplete ") + good(QStringLiteral("/link.pdf")), from));
    EXPECT_TRUE(waitUntil([&] { return whiteShare(*browser) > 0.2; }))
        << "the viewer shows no page: " << whiteShare(*browser);

    // The page fills the right of the viewer; a click there follows its link.
    QWidget* view = browser->focusProxy();
    const QPoint onPage(view->width() * 3 / 4, view->height() / 2);
    for (int i = 0; i < 2; ++i) {
        QTest::mouseMove(view, onPage);
        QTest::qWait(200);
        QTest::mouseClick(view, Qt::LeftButton, {}, onPage);
        QTest::qWait(300);
    }
    EXPECT_TRUE(
        waitFor(QStringLiteral("NavigationRefused %1 excluding: %1 logged").arg(bad()), from))
        << since(from).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(badHits(), 0);
    EXPECT_EQ(browser->LocationURL(), good(QStringLiteral("/link.pdf")));
}

TEST_P(RequestTest, APageOpensNoDialogOfTheEnginesOwn) {
    bool dialog = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialog = true;
            modal->close();
        }
    });
    watch.start(50);
    server.addHandler(QStringLiteral("/private"), [](const LocalServer::Request&) {
        LocalServer::Response response;
        response.status = 401;
        response.headers.append({"WWW-Authenticate", "Basic realm=\"staff\""});
        response.body = "<html><title>Private</title>sign in</html>";
        return response;
    });
    server.addPage(QStringLiteral("/print"),
                   page(QStringLiteral("Print"), QStringLiteral("<script>print();</script>")));
    for (const char* path : {"/private", "/print"}) {
        const qsizetype from = events.size();
        browser->Navigate(good(QString::fromLatin1(path)));
        EXPECT_TRUE(waitFor(QStringLiteral("DownloadComplete "), from)) << path;
        QTest::qWait(500);
        EXPECT_FALSE(dialog) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, RequestTest, ::testing::Values(ListKind::Both),
                         [](const ::testing::TestParamInfo<ListKind>&) { return "Both"; });

}  // namespace
}  // namespace tarn::test

#include "supervision_test.moc"
