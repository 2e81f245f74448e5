#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarn::reg {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the command could not be done
inline constexpr int kExitUsage = 2;    // the command line is wrong

// The text `tarnreg --help` prints.
const char* usageText();

// Runs tarnreg with the arguments that follow the program name; returns the exit status.
int runTarnreg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarn::reg
