#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>

#include "engine/web_browser.h"
#include "local_server.h"
#include "settings/group_lists.h"
#include "temp_env.h"

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace tarn::test {

// A group's policy with the program's own pages where the program keeps them.
std::shared_ptr<const NavigationPolicy> groupPolicy(const GroupLists& lists, bool allowMail);

// A policy with empty lists: every web address passes, mail links included.
std::shared_ptr<const PolicySlot> openPolicy();

// A shown browser on pages of a local server, with every event it raises written to `events`
// as "<event> <argument>" in order of arrival.
class BrowserTest : public TempEnv {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Listens to every event of `view` into `events`.
    void record(TWebBrowser& view);
    // Navigates and waits for the page to be reached.
    bool open(const QString& path);
    // Waits until `event` has been recorded, counting from entry `from` of `events`.
    bool waitFor(const QString& event, qsizetype from = 0, int timeoutMs = 15000);
    bool seen(const QString& event, qsizetype from = 0) const;
    // The events recorded since entry `from`.
    QStringList since(qsizetype from) const { return events.mid(from); }
    QString url(const QString& path) const { return server.url(path).toString(); }
    // Runs a script in the page and waits for it to have run.
    void runScript(const QString& script);

    LocalServer server;
    // The policy the browser asks; a test may replace what it holds.
    std::shared_ptr<PolicySlot> policy;
    std::unique_ptr<TWebBrowser> browser;
    QStringList events;
    // Which top-level addresses BeforeNavigate cancels.
    std::function<bool(const QString&)> refuse = [](const QString&) { return false; };
};

// A page with a title, a body text and whatever `extra` HTML follows in the body.
QByteArray page(const QString& title, const QString& extra = QString());

}  // namespace tarn::test
