#include "platform/file_dialog.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <utility>

#include "file_dialog_attempts.h"
#include "platform/message_box_prompter.h"
#include "temp_env.h"

namespace tarn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using FileDialogTest = TempEnv;

TEST_F(FileDialogTest, NoDialogChangesAFileOrFolder) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path& file)> show;
    };
    const Case cases[] = {
        {"File > Open",
         [](const std::filesystem::path& file) {
             MessageBoxPrompter().chooseFile(
                 {"Open", file.parent_path().string(), file.filename().string(), "*.htm"});
         }},
        {"a save dialog",
         [](const std::filesystem::path& file) {
             chooseFileInDialog(nullptr, FileDialogMode::Save, QStringLiteral("Save As"),
                                QString::fromStdString(file.string()), QStringLiteral("*.htm"));
         }},
    };
    for (const Case& c : cases) {
        const std::filesystem::path folder = root / c.what;
        const std::filesystem::path file = folder / "victim.htm";
        writeFile(file, "keep me");
        const DialogAttempt attempt = tryChangingFilesThrough([&] { c.show(file); }, file);
        ASSERT_TRUE(attempt.shown) << c.what;
        EXPECT_THAT(attempt.missing, IsEmpty()) << c.what;
        EXPECT_TRUE(attempt.options.testFlag(QFileDialog::ReadOnly)) << c.what;
        EXPECT_TRUE(attempt.options.testFlag(QFileDialog::DontUseNativeDialog)) << c.what;
        EXPECT_EQ(readFile(file), "keep me") << c.what;
        EXPECT_THAT(folderListing(folder), ElementsAre("victim.htm")) << c.what;
    }
}

TEST_F(FileDialogTest, TheChosenFileComesBack) {
    const std::filesystem::path existing = root / "page.htm";
    writeFile(existing, "a page");
    const std::pair<FileDialogMode, std::filesystem::path> cases[] = {
        {FileDialogMode::Open, existing}, {FileDialogMode::Save, root / "new.htm"}};
    for (const auto& [mode, file] : cases) {
        const QString path = QString::fromStdString(file.string());
        // Typed into the name box and confirmed with Return, as a person does.
        QTimer chooser;
        QObject::connect(&chooser, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                name->setText(path);
                QTest::keyClick(name, Qt::Key_Return);
            } else {
                dialog->reject();
            }
        });
        chooser.start(20);
        EXPECT_EQ(chooseFileInDialog(nullptr, mode, QStringLiteral("Choose"),
                                     QString::fromStdString(root.string()), QString()),
                  path)
            << file;
    }
}

}  // namespace
}  // namespace tarn::test
