#include "main_form_fixture.h"

#include <QApplication>
#include <QUrl>
#include <fstream>
#include <sstream>

#include "engine/web_browser.h"
#include "qt_wait.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/site_lists.h"

namespace tarn::test {

void MainFormTest::SetUp() {
    TempEnv::SetUp();
    clock.setLocal(2026, 12, 10, 9, 30);
    ASSERT_TRUE(server.start());
    server.addPage(QStringLiteral("/one"), "<html><title>One</title><body>one</body></html>");
    server.addPage(QStringLiteral("/two"), "<html><title>Two</title><body>two</body></html>");
    server.addPage(QStringLiteral("/three"), "<html><title>Three</title><body>3</body></html>");
    server.addPage(QStringLiteral("/four"), "<html><title>Four</title><body>4</body></html>");
    // Set up already: a test of the first run clears sInstalledVersion.
    setValue(kConfigKey, "sInstalledVersion", "1.10");
}

void MainFormTest::TearDown() {
    // Windows and engine pages from this test go before the next one starts.
    QApplication::closeAllWindows();
    QApplication::processEvents();
    TempEnv::TearDown();
}

std::unique_ptr<TMainForm> MainFormTest::start(const std::vector<std::string>& parameters) {
    auto form = std::make_unique<TMainForm>(parameters, clock, prompter, launcher);
    form->show();
    form->activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(waitForLists(*form));
    return form;
}

bool MainFormTest::waitForLists(TMainForm& form) {
    return waitUntil([&] { return !form.session().listsPending(); });
}

void MainFormTest::setValue(const std::string& key, const std::string& name,
                            const std::string& value) {
    SettingsStore store(key);
    store.write_string("", name, value);
}

std::string MainFormTest::readValue(const std::string& key, const std::string& name) {
    SettingsStore store(key);
    return store.read_string("", name, "<absent>");
}

bool MainFormTest::waitForPage(TMainForm& form, int pane, const QUrl& url) {
    TWebBrowser* browser = form.Panes[pane - 1].browser;
    return waitUntil([&] { return browser->LocationURL() == url.toString(); });
}

void MainFormTest::logActivity() {
    logFile = dataHome / "activity.log";
    SettingsStore admin(kAdminKey);
    admin.write_bool("", "bLoggingEnabled", true);
    admin.write_string("", "sLogFileLocation", logFile.string());
}

std::string MainFormTest::log() const {
    std::ifstream in(logFile);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::filesystem::path MainFormTest::excludeThroughUnreadableFile(const std::string& group) {
    const std::filesystem::path unreadable = dataHome / (group + "-sites.txt");
    std::filesystem::create_directories(unreadable);
    createExclusionList("unreadable");
    saveListPart(ListFamily::URLExclIni, "unreadable", {unreadable.string()});
    SettingsStore record(std::string(kGroupsKey) + "\\" + group);
    record.write_bool("", "bGroupUseExcl", true);
    record.write_string("", "sGroupExclList", "unreadable");
    return unreadable;
}

void MainFormTest::excludeInDefaultGroup(const std::string& list,
                                         const std::vector<std::string>& entries,
                                         const std::vector<std::string>& words) {
    createExclusionList(list);
    saveListPart(ListFamily::URLExclusion, list, entries);
    if (!words.empty())
        saveListPart(ListFamily::WordExclusion, list, words);
    SettingsStore group(std::string(kGroupsKey) + "\\Default Group");
    group.write_bool("", "bGroupUseExcl", true);
    group.write_string("", "sGroupExclList", list);
}

bool MainFormTest::visible(const TMainForm& form, const QWidget* widget) const {
    return widget->isVisibleTo(&form);
}

}  // namespace tarn::test
