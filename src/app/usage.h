#pragma once

#include <optional>
#include <string>

namespace tarn {

// "1.10": the version this program was built as.
const char* programVersion();

// `tarnview --help` and `--version`: the text to print and leave, before any window or display
// is needed; nothing for any other command line.
std::optional<std::string> informationRequested(int argc, char** argv);

// `tarnview --paths`, which needs no display either (after --help and --version).
bool pathsRequested(int argc, char** argv);

// Why no window can be shown, in one line, when neither an X11 nor a Wayland display is named
// and no other platform is chosen; nothing when one is.
std::optional<std::string> missingDisplay();

}  // namespace tarn
