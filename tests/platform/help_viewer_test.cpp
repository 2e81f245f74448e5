#include "platform/help_viewer.h"

#include <gtest/gtest.h>

#include <optional>

#include <QApplication>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QWidget>

#include "platform/program_folder.h"
#include "temp_env.h"

namespace tarn {
namespace {

// The anchor names the document holds, as the viewer parsed them.
QStringList anchorsOf(const QTextDocument& document) {
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            names += it.fragment().charFormat().anchorNames();
        }
    }
    return names;
}

// How far below the top of the visible area the anchor's line stands, in pixels.
std::optional<int> anchorTopInView(const QTextBrowser& browser, const QString& name) {
    const QTextDocument& document = *browser.document();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(name)) {
                QTextCursor cursor(browser.document());
                cursor.setPosition(it.fragment().position());
                return browser.cursorRect(cursor).top();
            }
        }
    }
    return std::nullopt;
}

class HelpViewerTest : public test::TempEnv {
  protected:
    static QTextBrowser* helpWindowOf(QWidget& windowOwner) {
        const auto windows = windowOwner.findChildren<QTextBrowser*>(QStringLiteral("HelpWindow"));
        return windows.size() == 1 ? windows.front() : nullptr;
    }

    QWidget owner;
};

// Every context number that the program's windows open must lead somewhere.
TEST_F(HelpViewerTest, ShippedFilesHoldEveryContextThatIsAskedFor) {
    struct Case {
        const char* file;
        std::vector<int> contexts;
    };
    const Case cases[] = {
        {"tarnview.hlp", {10, 40, 76, 77, 78, 79, 80}},
        {"tarnadmn.hlp", {10}},
    };
    for (const auto& c : cases) {
        showHelp(&owner, programFolder() / c.file, 10);
        auto* window = helpWindowOf(owner);
        ASSERT_NE(window, nullptr) << c.file;
        const QStringList anchors = anchorsOf(*window->document());
        for (int context : c.contexts) {
            EXPECT_TRUE(anchors.contains(QStringLiteral("context-%1").arg(context)))
                << c.file << " context " << context;
        }
    }
}

TEST_F(HelpViewerTest, OpensEachFileAtItsEntryPageWithItsTitle) {
    const std::pair<const char*, const char*> cases[] = {
        {"tarnview.hlp", "Tarnview Help"},
        {"tarnadmn.hlp", "Tarnview Administrator Help"},
    };
    for (auto [file, title] : cases) {
        QWidget fileOwner;
        showHelp(&fileOwner, programFolder() / file, 10);
        auto* window = helpWindowOf(fileOwner);
        ASSERT_NE(window, nullptr) << file;
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isWindow());
        EXPECT_EQ(window->windowTitle(), QString::fromLatin1(title));
        EXPECT_EQ(window->source().fragment(), QStringLiteral("context-10"));
        EXPECT_EQ(anchorTopInView(*window, QStringLiteral("context-10")), 0) << file;
        EXPECT_FALSE(window->toPlainText().contains(QStringLiteral("is missing"))) << file;
    }
}

TEST_F(HelpViewerTest, ReusesTheOwnersWindowAndScrollsToTheContext) {
    showHelp(&owner, programFolder() / "tarnview.hlp", 10);
    QTextBrowser* first = helpWindowOf(owner);
    ASSERT_NE(first, nullptr);
    first->close();

    showHelp(&owner, programFolder() / "tarnview.hlp", 50);
    ASSERT_EQ(helpWindowOf(owner), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->source().fragment(), QStringLiteral("context-50"));
    EXPECT_GT(first->verticalScrollBar()->value(), 0);
    EXPECT_EQ(anchorTopInView(*first, QStringLiteral("context-50")), 0);

    showHelp(&owner, programFolder() / "tarnview.hlp", 10);
    EXPECT_EQ(helpWindowOf(owner), first);
    EXPECT_EQ(anchorTopInView(*first, QStringLiteral("context-10")), 0);

    QWidget otherOwner;
    showHelp(&otherOwner, programFolder() / "tarnview.hlp", 10);
    auto* second = helpWindowOf(otherOwner);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
}

TEST_F(HelpViewerTest, EscapeClosesTheHelpWindow) {
    showHelp(&owner, programFolder() / "tarnview.hlp", 10);
    QTextBrowser* help = helpWindowOf(owner);
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(help->isVisible());
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(HelpViewerTest, WindowsWithoutOwnerShareOneUntilItIsClosed) {
    const auto unownedWindows = [] {
        QList<QWidget*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("HelpWindow"))
                windows += widget;
        }
        return windows;
    };
    showHelp(nullptr, programFolder() / "tarnview.hlp", 10);
    showHelp(nullptr, programFolder() / "tarnadmn.hlp", 10);
    auto windows = unownedWindows();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows.front()->windowTitle(), QStringLiteral("Tarnview Administrator Help"));

    QPointer<QWidget> closed = windows.front();
    closed->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());

    showHelp(nullptr, programFolder() / "tarnview.hlp", 10);
    windows = unownedWindows();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows.front()->isVisible());
    windows.front()->close();
}

TEST_F(HelpViewerTest, MissingFileIsReportedInTheWindowUntilItReturns) {
    const auto file = root / "tarnview.hlp";
    showHelp(&owner, file, 10);
    auto* window = helpWindowOf(owner);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->toPlainText(),
              QStringLiteral("The help file %1 is missing. Reinstall Tarnview.")
                  .arg(QString::fromStdString(file.string())));

    test::writeFile(file, "<html><body><p><a id=\"context-10\"></a>Back again</p></body></html>");
    showHelp(&owner, file, 10);
    EXPECT_EQ(window->toPlainText(), QStringLiteral("Back again"));

    std::filesystem::remove(file);
    showHelp(&owner, file, 10);
    EXPECT_TRUE(window->toPlainText().startsWith(QStringLiteral("The help file ")));
    test::writeFile(file, "<html><body><p>Restored</p></body></html>");
    showHelp(&owner, file, 10);
    EXPECT_EQ(window->toPlainText(), QStringLiteral("Restored"));
}

}  // namespace
}  // namespace tarn
