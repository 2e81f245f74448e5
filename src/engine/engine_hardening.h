#pragma once

#include <string>

namespace tarn {

// Keeps the engine from opening a remote-debugging port or developer tools, whatever the
// command line or the environment asks. Call it before the QApplication is created: it removes
// those switches from argv (updating argc), unsets QTWEBENGINE_REMOTE_DEBUGGING and strips them
// from QTWEBENGINE_CHROMIUM_FLAGS.
void hardenEngineStartup(int& argc, char** argv);

// True for a command-line switch that would open the engine to a debugger, with one or two
// leading dashes and with or without "=value".
bool isDebuggingSwitch(const std::string& argument);

}  // namespace tarn
