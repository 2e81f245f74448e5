// Faults a machine really has: a value of the wrong kind in a hive (as `tarnreg set --type dword`
// or an imported .reg file writes it), read after start-up by the feature that needs it, and a
// settings folder that can not take another byte when the window closes. The program says
// which value or what could not be saved, the feature refuses, and the program goes on.
#include <gmock/gmock.h>
#include <sys/resource.h>

#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <csignal>
#include <functional>

#include "engine/web_browser.h"
#include "logon_typer.h"
#include "main_form_fixture.h"
#include "qt_wait.h"
#include "settings/hive_file.h"
#include "settings/registry_layout.h"
#include "settings/settings_store.h"
#include "settings/user_record.h"

namespace tarn::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

const std::string kConfig = std::string(kDefaultConfigKey) + "\\Config";
const std::string kGroup = std::string(kGroupsKey) + "\\Default Group";

// Stores `name` in `key` of the current user's hive as a value of registry type `type`.
void storeTyped(const std::string& key, const std::string& name, int type) {
    const auto hive = HiveFile::open(Hive::CurrentUser);
    const KeyId id = hive->createKey(kRootKey, key);
    hive->writeValue(id, name, type,
                     type == kRegDword ? std::string("\x01\0\0\0", 4) : std::string("\x01\x02", 2));
}

struct FaultCase {
    const char* feature;
    std::string key;
    const char* name;
    // Sets the window up and uses the feature; checks that it refused.
    std::function<void(TMainForm&, MainFormTest&)> useAndCheck;
};

class FaultTest : public MainFormTest, public ::testing::WithParamInterface<int> {
  protected:
    QString url(const char* path) const { return server.url(QString::fromLatin1(path)).toString(); }

    // Every message shown, joined, and the status panel.
    std::string said(const TMainForm& form) const {
        std::string all;
        for (const std::string& text : prompter.shown)
            all += text + "\n";
        return all + form.StatusPanel->text().toStdString();
    }
};

TEST_P(FaultTest, AValueOfTheWrongKindIsNamedAndItsFeatureRefuses) {
    const int type = GetParam();
    const std::vector<FaultCase> cases{
        {"a page's new window", kConfig, "iNewWindowAction",
         [this](TMainForm& form, MainFormTest&) {
             bool processed = false;
             form.WebBrowser1NewWindow(url("/two"), processed);
             EXPECT_TRUE(processed);
             EXPECT_TRUE(launcher.started.empty());
             EXPECT_TRUE(launcher.opened.empty());
         }},
        {"New Message", kGroup, "bGroupAllowMailMenu",
         [this](TMainForm& form, MainFormTest&) {
             form.NewMessage1->trigger();
             EXPECT_TRUE(launcher.opened.empty());
         }},
        {"Read Messages", kGroup, "sGroupReadMailProgram",
         [this](TMainForm& form, MainFormTest&) {
             form.ReadMessages1->trigger();
             EXPECT_TRUE(launcher.commandLines.empty());
         }},
        {"Administration", kAdminKey, "bAdminSec",
         [](TMainForm& form, MainFormTest&) { form.Administration1->trigger(); }},
        {"a cycle step", std::string(kDefaultConfigKey) + "\\Web1Cycle", "sUrl0",
         [this](TMainForm& form, MainFormTest&) {
             form.StartURLCycle1->trigger();
             const int loads = server.hits(QStringLiteral("/one"));
             clock.advance(std::chrono::seconds(1));
             form.Timer1Timer();
             EXPECT_EQ(server.hits(QStringLiteral("/one")), loads);
         }},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.feature);
        setValue(kConfig, "iWeb1CycleRate", "1");
        setValue(kConfig, "bWeb1CycleMins", "0");
        setValue(kConfig, "bWeb1OkToCycle", "1");
        auto form = start();
        prompter.shown.clear();
        storeTyped(c.key, c.name, type);
        c.useAndCheck(*form, *this);
        EXPECT_THAT(said(*form), HasSubstr(std::string("Invalid data type for '") + c.name + "'"));
        EXPECT_TRUE(form->isVisible());
        form.reset();
        HiveFile::open(Hive::CurrentUser)
            ->deleteValue(*HiveFile::open(Hive::CurrentUser)->findKey(kRootKey, c.key), c.name);
    }
}

TEST_P(FaultTest, ACopyThatCanNotReadWhetherItsUserIsOnCloses) {
    SettingsStore(kAdminKey).write_bool("", "bUseLogon", true);
    const std::string annConfig = std::string(kTarnviewRoot) + "\\Default Group\\ann\\Config";
    setValue(annConfig, "bUserActive", "1");
    auto form = start({"Copy=1", "Group=Default Group", "User=ann"});
    ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
    storeTyped(annConfig, "bUserActive", GetParam());
    clock.advance(std::chrono::seconds(1));
    form->Timer1Timer();
    EXPECT_FALSE(form->isVisible());
}

TEST_P(FaultTest, FavouritesOfAGroupWhoseRecordCanNotBeReadAreRefused) {
    SettingsStore(kAdminKey).write_bool("", "bUseLogon", true);
    writeUserRecord("Default Group", "ann", {"Default Group", false, ""});
    LogonTyper ann({{QStringLiteral("ann"), QString()}});
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return form->session().userName() == "ann"; }));
    prompter.shown.clear();
    storeTyped(kGroup, "sGroupFavDir", GetParam());
    form->AddToFavorites1->trigger();
    EXPECT_THAT(prompter.shown, Contains(HasSubstr("Invalid data type for 'sGroupFavDir'")));
    EXPECT_TRUE(form->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Kinds, FaultTest, ::testing::Values(kRegDword, kRegBinary),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return param.param == kRegDword ? "Dword" : "Binary";
                         });

// No file of this process may grow: the disk is full for everything it writes.
class FullDisk {
  public:
    FullDisk() {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &saved_); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

  private:
    rlimit saved_{};
};

using ExitTest = MainFormTest;

TEST_F(ExitTest, ExitOnAFullDiskSaysWhatWasNotSavedAndStillCloses) {
    auto form = start();
    ASSERT_TRUE(waitUntil([&] { return form->session().userActive(); }));
    form->Panes[0].browser->Navigate(server.url(QStringLiteral("/one")).toString());
    ASSERT_TRUE(waitForPage(*form, 1, server.url(QStringLiteral("/one"))));
    {
        const FullDisk full;
        form->Exit1->trigger();
    }
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_THAT(prompter.shown[0], HasSubstr("Tarnview could not save the window's place"));
    EXPECT_THAT(prompter.shown[0], HasSubstr("Free some disk space"));
}

}  // namespace
}  // namespace tarn::test
