#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace tarn {

// Looks for a file in the subfolders of a start folder at every depth, depth first in the order
// the file system lists them; the start folder itself is not looked in. The start is written
// Windows-style ("c:\") and mapped to its real folder; paths handed out are written the same way
// below it, as the group record stores them. Symbolic links to folders are never followed, so a
// link loop ends, and folders that can not be read are passed over. run() may go on another
// thread than the one that calls cancel().
class DiskSearch {
  public:
    // Called with each subfolder's path as the search enters it, on the thread of run().
    using Progress = std::function<void(const std::string& folder)>;

    DiskSearch(std::string startFolder, std::string fileName, Progress progress = {});

    // "<subfolder>\<file name as found>" for the first subfolder that directly holds a file of
    // that name, compared without regard to ASCII letter case; empty when there is none or when
    // the search was cancelled.
    std::string run();

    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

  private:
    std::string startFolder_;
    std::string fileName_;
    Progress progress_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace tarn
