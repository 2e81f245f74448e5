#pragma once

#include <filesystem>

class QWidget;

namespace tarn {

// Opens the help window of `owner` on `helpFile` (one of the program's HTML help pages) at the
// anchor "context-<context>". Each owner has one help window, reused by later calls; a window
// without an owner is shared by all such calls. A missing file is reported inside the window.
void showHelp(QWidget* owner, const std::filesystem::path& helpFile, int context);

}  // namespace tarn
