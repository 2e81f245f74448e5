// Save As, Print and the context menu.
#include <gmock/gmock.h>

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPrinterInfo>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <filesystem>

#include "browser_fixture.h"
#include "engine/web_page.h"
#include "file_dialog_attempts.h"
#include "qt_wait.h"
#include "scripted_prompter.h"
#include "settings/admin_area.h"
#include "settings/registry_layout.h"

namespace tarn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class OutputTest : public BrowserTest {
  protected:
    void SetUp() override {
        BrowserTest::SetUp();
        browser->setPrompter(&prompter);
    }

    // Answers the file chooser with `answer` and remembers what it suggested.
    void chooseFile(const QString& answer) {
        browser->setSaveChooser([this, answer](QWidget*, const QString& suggested) {
            suggestions.append(suggested);
            return answer;
        });
    }

    ScriptedPrompter prompter;
    QStringList suggestions;
};

TEST_F(OutputTest, SaveAsWritesThePageToTheChosenFile) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    const std::filesystem::path file = root / "saved.mht";
    chooseFile(QString::fromStdString(file.string()));
    browser->SaveAs();
    ASSERT_EQ(suggestions.size(), 1);
    EXPECT_TRUE(suggestions[0].endsWith(QStringLiteral("/A.htm")));
    ASSERT_TRUE(waitUntil([&] {
        return std::filesystem::exists(file) && readFile(file).find("A text") != std::string::npos;
    }));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(OutputTest, CancellingSaveAsSavesNothing) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    QSignalSpy saves(browser->profile(), &QWebEngineProfile::downloadRequested);
    chooseFile(QString());
    browser->SaveAs();
    EXPECT_EQ(suggestions.size(), 1);
    // A save made after the cancelled one is the only one the engine sees.
    const std::filesystem::path file = root / "after.mht";
    chooseFile(QString::fromStdString(file.string()));
    browser->SaveAs();
    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(file); }));
    EXPECT_EQ(saves.size(), 1);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(OutputTest, ASaveThatFailsIsReported) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    // A file in place of the folder: nothing can be written below it.
    writeFile(root / "blocker", "x");
    chooseFile(QString::fromStdString((root / "blocker" / "page.mht").string()));
    browser->SaveAs();
    ASSERT_TRUE(waitUntil([&] { return !prompter.shown.empty(); }));
    EXPECT_THAT(prompter.shown[0], HasSubstr("could not be saved"));
}

TEST_F(OutputTest, SaveAsRefusesTheActivityLog) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    openAdminKey(kAdminKey)->write_string("", "sLogFileLocation", "d:\\logs\\tarn.log");
    const std::filesystem::path log = dataHome / "tarnview" / "d" / "logs" / "tarn.log";
    const std::string records = "2026-03-10 10:00:00 Kids Ann http://a.org/\r\n";
    writeFile(log, records);
    const std::filesystem::path link = root / "notes.htm";
    std::filesystem::create_symlink(log, link);
    QList<QPointer<QWebEngineDownloadRequest>> saves;
    QObject::connect(browser->profile(), &QWebEngineProfile::downloadRequested,
                     [&](QWebEngineDownloadRequest* save) { saves.append(save); });
    const auto savesDone = [&] {
        for (const QPointer<QWebEngineDownloadRequest>& save : saves) {
            if (save && !save->isFinished())
                return false;
        }
        return true;
    };
    for (const std::filesystem::path& target : {log, link}) {
        const size_t shown = prompter.shown.size();
        const qsizetype requested = saves.size();
        chooseFile(QString::fromStdString(target.string()));
        browser->SaveAs();
        // Refused at once, or handed to the engine and then written before the next.
        ASSERT_TRUE(waitUntil([&] {
            return prompter.shown.size() > shown || (saves.size() > requested && savesDone());
        })) << target;
    }
    // A save that is allowed goes through after them.
    const std::filesystem::path page = root / "page.mht";
    chooseFile(QString::fromStdString(page.string()));
    browser->SaveAs();
    ASSERT_TRUE(waitUntil([&] {
        return savesDone() && std::filesystem::exists(page) &&
               readFile(page).find("A text") != std::string::npos;
    }));
    EXPECT_EQ(saves.size(), 1);
    EXPECT_EQ(readFile(log), records);
    const std::string refusal =
        ": that place holds Tarnview's settings, log or program files. Choose another folder.";
    EXPECT_THAT(prompter.shown,
                ElementsAre("The page can not be saved to " + log.string() + refusal,
                            "The page can not be saved to " + link.string() + refusal));
}

TEST_F(OutputTest, TheSaveAsDialogChangesNoFile) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    const std::filesystem::path file = root / "pages" / "victim.htm";
    writeFile(file, "keep me");
    const DialogAttempt attempt = tryChangingFilesThrough([&] { browser->SaveAs(); }, file);
    ASSERT_TRUE(attempt.shown);
    EXPECT_THAT(attempt.missing, IsEmpty());
    EXPECT_TRUE(attempt.options.testFlag(QFileDialog::ReadOnly));
    EXPECT_TRUE(attempt.options.testFlag(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(readFile(file), "keep me");
    EXPECT_THAT(folderListing(file.parent_path()), ElementsAre("victim.htm"));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(OutputTest, PrintWithoutAPrinterSaysSo) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a printer is set up here";
    ASSERT_TRUE(open(QStringLiteral("/a")));
    browser->Print();
    EXPECT_THAT(prompter.shown,
                ElementsAre("No printer is set up on this computer. Add a printer in the system "
                            "settings and try again."));
}

TEST_F(OutputTest, TheContextMenuOffersNoDeveloperTools) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    QWidget* surface = browser->focusProxy();
    ASSERT_NE(surface, nullptr);
    QMenu* menu = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(20, 20));
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* m = qobject_cast<QMenu*>(widget); m && m->isVisible())
                menu = m;
        }
        return menu != nullptr;
    }));
    EXPECT_TRUE(menu->actions().contains(browser->page()->action(QWebEnginePage::Reload)));
    for (const QWebEnginePage::WebAction action : kDeveloperActions) {
        EXPECT_FALSE(menu->actions().contains(browser->page()->action(action)));
    }
    menu->close();
}

TEST_F(OutputTest, DeveloperActionsDoNothing) {
    ASSERT_TRUE(open(QStringLiteral("/a")));
    const qsizetype from = events.size();
    for (const QWebEnginePage::WebAction action : kDeveloperActions) {
        browser->page()->triggerAction(action);
    }
    // A source or inspector window would come as a new-window request before this one.
    runScript(QStringLiteral("window.open('/b')"));
    ASSERT_TRUE(waitFor(QStringLiteral("NewWindow ") + url(QStringLiteral("/b")), from));
    EXPECT_EQ(since(from).filter(QStringLiteral("NewWindow")).size(), 1);
    EXPECT_EQ(browser->LocationURL(), url(QStringLiteral("/a")));
}

}  // namespace
}  // namespace tarn::test
