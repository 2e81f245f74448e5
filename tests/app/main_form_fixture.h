#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "local_server.h"
#include "platform/clock.h"
#include "recording_launcher.h"
#include "scripted_prompter.h"
#include "temp_env.h"

namespace tarn::test {

inline constexpr char kDefaultConfigKey[] =
    "Software\\Kestrow Software\\Tarnview\\Default Group\\Default User";

// A main window on fresh hives of an installation that has been set up (a test of the first
// run clears sInstalledVersion), with pages from a local server.
class MainFormTest : public TempEnv {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates, shows and activates a main window, as starting the program does.
    std::unique_ptr<TMainForm> start(const std::vector<std::string>& parameters = {});
    // Writes a string value into `key` of the current user's hive.
    void setValue(const std::string& key, const std::string& name, const std::string& value);
    std::string readValue(const std::string& key, const std::string& name);
    // True once the signed-on group's lists are in force; they are built on a thread.
    bool waitForLists(TMainForm& form);
    // True once pane `pane` (1 to 4) of `form` shows `url`.
    bool waitForPage(TMainForm& form, int pane, const QUrl& url);
    bool visible(const TMainForm& form, const QWidget* widget) const;
    // Turns the activity log on, into `logFile`.
    void logActivity();
    // What the activity log holds; empty before anything is written.
    std::string log() const;
    // Makes `group`'s exclusion list name a list file that exists but can not be read (a
    // folder), and gives the file's path.
    std::filesystem::path excludeThroughUnreadableFile(const std::string& group);
    // Makes `list` Default Group's exclusion list, refusing `entries` and `words`.
    void excludeInDefaultGroup(const std::string& list, const std::vector<std::string>& entries,
                               const std::vector<std::string>& words = {});

    LocalServer server;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    ManualClock clock;
    std::filesystem::path logFile;
};

}  // namespace tarn::test
