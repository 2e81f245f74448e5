// A page's file inputs and pickers get the program's read-only dialog, never the engine's own,
// and nothing from Tarnview's own places.
#include <gmock/gmock.h>

#include <QApplication>
#include <QTimer>
#include <QUrl>

#include "browser_fixture.h"
#include "platform/paths.h"
#include "qt_wait.h"
#include "scripted_prompter.h"

namespace tarn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class FileChooserTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        browser->setPrompter(&prompter);
        // Each input fills the page's top 100 pixels in turn; a change shows in the title.
        server.addPage(QStringLiteral("/upload"),
                       "<html><head><title>Upload</title></head><body style=\"margin:0\">"
                       "<input type=\"file\" id=\"file\" style=\"display:block;width:400px;"
                       "height:100px\" onchange=\"document.title = 'chose ' + "
                       "this.files.length + ' ' + (this.files[0] ? this.files[0].name : '')\">"
                       "<input type=\"file\" webkitdirectory id=\"folder\" style=\"display:block;"
                       "width:400px;height:100px\" onchange=\"document.title = 'folder ' + "
                       "this.files.length\">"
                       "<button style=\"display:block;width:400px;height:100px\" onclick=\""
                       "(window.showSaveFilePicker ? showSaveFilePicker() : Promise.reject({name: "
                       "'unavailable'})).then(() => document.title = 'save picked', "
                       "e => document.title = 'save ' + e.name)\">Save</button></body></html>");
        ASSERT_TRUE(open(QStringLiteral("/upload")));
        // The engine's own dialog would wait for a person inside an event loop of its own: a
        // timer, which runs there too, closes it and notes it.
        QObject::connect(&dialogWatch, &QTimer::timeout, [this] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                enginesOwnDialog = true;
                dialog->close();
            }
        });
        dialogWatch.start(100);
    }

    // Clicks at `point` of the page and waits for a chooser to be answered.
    void clickAndWait(QPoint point) {
        const size_t asked = prompter.asked.size() + prompter.shown.size();
        QTest::mouseClick(browser->focusProxy(), Qt::LeftButton, {}, point);
        waitUntil(
            [&] {
                return enginesOwnDialog || prompter.asked.size() + prompter.shown.size() > asked;
            },
            5000);
        QTest::qWait(300);
    }

    ScriptedPrompter prompter;
    bool enginesOwnDialog = false;
    QTimer dialogWatch;
};

TEST_F(FileChooserTest, AnUploadGetsTheProgramsDialogAndNoneOfTarnviewsFiles) {
    const std::filesystem::path ordinary = root / "homework.txt";
    writeFile(ordinary, "my homework");
    writeFile(userHiveFile(), "stored password records");
    for (const std::filesystem::path& own :
         {userHiveFile(), std::filesystem::path(userHiveFile().string() + "-wal"),
          configFolder() / "profiles" / "anything"}) {
        prompter.files.push_back(own.string());
        clickAndWait({50, 50});
        EXPECT_FALSE(enginesOwnDialog);
        ASSERT_FALSE(prompter.shown.empty()) << own;
        EXPECT_THAT(prompter.shown.back(), HasSubstr("can not be given to a page")) << own;
        EXPECT_EQ(browser->title(), QStringLiteral("Upload")) << own;
    }

    prompter.files.push_back(ordinary.string());
    clickAndWait({50, 50});
    EXPECT_FALSE(enginesOwnDialog);
    EXPECT_TRUE(waitUntil([&] {
        return browser->title() == QStringLiteral("chose 1 homework.txt");
    })) << browser->title().toStdString();
    ASSERT_FALSE(prompter.asked.empty());
    EXPECT_EQ(prompter.asked.back().title, "Choose a file to upload");
}

TEST_F(FileChooserTest, AFolderUploadAndASavePickerAreRefused) {
    clickAndWait({50, 150});
    EXPECT_FALSE(enginesOwnDialog);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_THAT(prompter.shown,
                ElementsAre("Pages may not save files or take whole folders in Tarnview."));
    EXPECT_EQ(browser->title(), QStringLiteral("Upload"));

    QTest::mouseClick(browser->focusProxy(), Qt::LeftButton, {}, {50, 250});
    EXPECT_TRUE(waitUntil([&] { return browser->title().startsWith(QStringLiteral("save")); }))
        << browser->title().toStdString();
    EXPECT_FALSE(enginesOwnDialog);
    EXPECT_NE(browser->title(), QStringLiteral("save picked"));
    EXPECT_TRUE(prompter.asked.empty());
}

}  // namespace
}  // namespace tarn::test
