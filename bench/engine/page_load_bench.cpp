// Page loads with the request check over a million exclusion lines: a page of 300 images and
// scripts from the local server in a browser whose every request passes the check, beside a
// bare engine view loading the same page, alternating in the same run.
#include <QApplication>
#include <QElapsedTimer>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "engine/web_browser.h"
#include "local_server.h"
#include "policy/navigation_policy.h"

namespace {

constexpr int kParts = 300;
constexpr int kExclusions = 1'000'000;
constexpr int kWords = 10'000;

// Blocklist-like lines: none of them names the local server.
tarn::GroupLists blocklist() {
    std::mt19937 random(7);
    const auto label = [&](size_t length) {
        std::string text(length, ' ');
        for (char& c : text)
            c = static_cast<char>('a' + random() % 26);
        return text;
    };
    tarn::GroupLists lists;
    lists.ExclusionList.reserve(kExclusions);
    for (int i = 0; i < kExclusions; ++i)
        lists.ExclusionList.push_back("ads." + label(5 + random() % 8) + ".com");
    for (int i = 0; i < kWords; ++i)
        lists.WordList.push_back(label(6 + random() % 6));
    return lists;
}

// Milliseconds until `view` has loaded `url` with all its parts; -1 on timeout.
double timeLoad(tarn::test::LocalServer& server, QWebEngineView& view, const QUrl& url) {
    const int before = server.hits(QStringLiteral("/done"));
    QElapsedTimer timer;
    timer.start();
    view.load(url);
    while (timer.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (server.hits(QStringLiteral("/done")) > before)
            return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    return -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    tarn::test::LocalServer server;
    if (!server.start()) {
        std::fprintf(stderr, "page_load_bench: no local port for the page server\n");
        return 1;
    }
    QByteArray page = "<html><head><title>Parts</title></head><body>";
    for (int i = 0; i < kParts; ++i) {
        const QByteArray n = QByteArray::number(i);
        server.addPage(QStringLiteral("/part%1.png").arg(i), "not a picture", "image/png");
        page += "<img src=\"/part" + n + ".png?" + n + "\">";
    }
    // The load event comes once every part has been answered.
    page +=
        "<script>addEventListener('load', () => { new Image().src = '/done?' + Date.now(); "
        "});</script></body></html>";
    server.addPage(QStringLiteral("/page"), page);
    server.addPage(QStringLiteral("/done"), "");

    QElapsedTimer building;
    building.start();
    const auto filter = std::make_shared<const tarn::UrlFilter>(blocklist());
    std::printf("filter of %d exclusion lines and %d words built in %.2f s\n", kExclusions, kWords,
                static_cast<double>(building.elapsed()) / 1e3);
    tarn::TWebBrowser checked(std::make_shared<tarn::PolicySlot>(
        std::make_shared<const tarn::NavigationPolicy>(filter, false, "")));
    QWebEngineView bare;
    for (QWebEngineView* view : {static_cast<QWebEngineView*>(&checked), &bare}) {
        view->resize(675, 480);
        view->show();
    }

    // Each run asks for the page afresh, so neither view answers from its cache.
    const auto pageUrl = [&](int run) {
        QUrl url = server.url(QStringLiteral("/page"));
        url.setQuery(QStringLiteral("run=%1").arg(run));
        return url;
    };
    timeLoad(server, checked, pageUrl(-1));
    timeLoad(server, bare, pageUrl(-2));
    std::vector<double> checkedTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        const double c = timeLoad(server, checked, pageUrl(2 * i));
        const double b = timeLoad(server, bare, pageUrl(2 * i + 1));
        if (c < 0 || b < 0) {
            std::fprintf(stderr, "page_load_bench: a page did not load within 60 s\n");
            return 1;
        }
        checkedTimes.push_back(c);
        bareTimes.push_back(b);
    }
    const double c = median(checkedTimes);
    const double b = median(bareTimes);
    std::printf("page of %d parts loaded, median of %d runs\n", kParts, runs);
    std::printf("  every request checked %8.1f ms\n", c);
    std::printf("  bare engine view      %8.1f ms  (baseline)\n", b);
    std::printf("  ratio                 %8.2f\n", c / b);
    return 0;
}
