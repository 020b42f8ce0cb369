#pragma once
// corvelctl: the command-line tool over the device link, for scripts and
// service work. RunCorvelctl is the whole tool; main only supplies the
// platform's serial ports and streams.

#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace corvel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a device or file operation failed
inline constexpr int kExitUsage = 2;    // the command line is wrong

// Runs the tool with the arguments after the program name.
int RunCorvelctl(std::vector<std::string> args, const CliEnvironment& environment);

}  // namespace corvel::cli
