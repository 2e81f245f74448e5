#pragma once

#include <QTextBrowser>
#include <filesystem>

namespace tarn {

// The window that shows a help file; showHelp() keeps one per owner.
class HelpWindow : public QTextBrowser {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* owner);

    // Shows `helpFile` scrolled to its anchor "context-<context>".
    void showContext(const std::filesystem::path& helpFile, int context);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tarn
