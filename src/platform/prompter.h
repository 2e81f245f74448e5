#pragma once

#include <string>

namespace tarn {

// A file to open: the dialog's caption, the folder it starts in, the name it proposes and the
// kinds of file it lists (Qt's filter syntax, "Web pages (*.htm);;All files (*)").
struct FileQuestion {
    std::string title;
    std::string folder;
    std::string fileName;
    std::string filter;
};

// Every message and confirmation box and every file dialog the program shows goes through one
// prompter, so tests can read the texts and give the answers.
class Prompter {
  public:
    virtual ~Prompter() = default;
    // An information box with an OK button.
    virtual void message(const std::string& text) = 0;
    // The application's standard error box, for failures of the platform layer.
    virtual void error(const std::string& text) = 0;
    // A confirmation box with Yes and No; true for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // A read-only file dialog; the chosen file's path, or empty when the dialog was cancelled.
    virtual std::string chooseFile(const FileQuestion& question) = 0;
};

}  // namespace tarn
