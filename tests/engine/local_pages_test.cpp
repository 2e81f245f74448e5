// A saved page opened again runs as a local file: it must read no other local file (the hives
// among them) and reach nothing the filter does not judge.
#include <gmock/gmock.h>

#include <QBuffer>
#include <QImage>
#include <QUrl>

#include "browser_fixture.h"
#include "qt_wait.h"

namespace tarn::test {
namespace {

using LocalPageTest = BrowserTest;

std::string png() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

TEST_F(LocalPageTest, ASavedPageReadsNoLocalFileByScriptImageOrFrame) {
    const std::filesystem::path saved = root / "saved";
    writeFile(saved / "secret.txt", "the hive's passwords");
    writeFile(saved / "picture.png", png());
    writeFile(saved / "frame.html", "<script>parent.postMessage('frame', '*')</script>");
    const QString hive = QUrl::fromLocalFile(QString::fromStdString(
                                                 (configHome / "tarnview" / "user.hive").string()))
                             .toString();
    // Each way a page reads a file reports what it got into the title, once all have answered.
    writeFile(saved / "page.html",
              QStringLiteral(
                  "<html><head><title>Saved</title></head><body><script>"
                  "const got = {};"
                  "function report(way, what) {"
                  "  got[way] = what;"
                  "  if (Object.keys(got).length === 6) document.title = JSON.stringify(got, "
                  "Object.keys(got).sort());"
                  "}"
                  "function read(way, url) {"
                  "  fetch(url).then(r => r.text()).then(t => report(way, 'read ' + t.length),"
                  "                                       () => report(way, 'refused'));"
                  "}"
                  "read('fetch', 'secret.txt');"
                  "read('hive', '%1');"
                  "const x = new XMLHttpRequest();"
                  "x.onload = () => report('xhr', 'read ' + x.responseText.length);"
                  "x.onerror = () => report('xhr', 'refused');"
                  "x.open('GET', 'secret.txt'); x.send();"
                  "addEventListener('message', e => report('frame', 'loaded'));"
                  "setTimeout(() => { if (!('frame' in got)) report('frame', 'refused'); }, 1500);"
                  "</script>"
                  "<img src=\"picture.png\" onload=\"report('image', 'loaded')\""
                  " onerror=\"report('image', 'refused')\">"
                  "<img src=\"%1\" onload=\"report('hive image', 'loaded')\""
                  " onerror=\"report('hive image', 'refused')\">"
                  "<iframe src=\"frame.html\"></iframe></body></html>")
                  .arg(hive)
                  .toStdString());
    writeFile(configHome / "tarnview" / "user.hive", "stored password records");

    // As File > Open does.
    browser->Navigate(
        QUrl::fromLocalFile(QString::fromStdString((saved / "page.html").string())).toString(),
        TWebBrowser::NavAdmitted);
    ASSERT_TRUE(waitUntil([&] { return browser->title().startsWith(QLatin1Char('{')); }))
        << events.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(browser->title(),
              QStringLiteral("{\"fetch\":\"refused\",\"frame\":\"refused\",\"hive\":\"refused\","
                             "\"hive image\":\"refused\",\"image\":\"refused\","
                             "\"xhr\":\"refused\"}"));
}

TEST_F(LocalPageTest, ASavedPageReachesNoWebAddressByScript) {
    server.addPage(QStringLiteral("/data"), "web data", "text/plain");
    const std::filesystem::path saved = root / "saved.html";
    writeFile(saved, QStringLiteral("<html><head><title>Saved</title></head><body><script>"
                                    "fetch('%1').then(r => r.text()).then("
                                    "  t => document.title = 'read ' + t,"
                                    "  () => document.title = 'refused');"
                                    "</script></body></html>")
                         .arg(url(QStringLiteral("/data")))
                         .toStdString());
    browser->Navigate(QUrl::fromLocalFile(QString::fromStdString(saved.string())).toString(),
                      TWebBrowser::NavAdmitted);
    ASSERT_TRUE(waitUntil([&] {
        return browser->title() != QStringLiteral("Saved") && !browser->title().isEmpty() &&
               !browser->title().endsWith(QStringLiteral(".html"));
    }));
    EXPECT_EQ(browser->title(), QStringLiteral("refused"));
    EXPECT_EQ(server.hits(QStringLiteral("/data")), 0);
}

}  // namespace
}  // namespace tarn::test
