#pragma once
// The command-line form of the log conversion, as "corvelctl convert" runs it:
//
//   IN.bin OUT.csv [--accept-short]
//
// `args` holds the arguments after the program or command name. The
// short-header questions are answered No unless --accept-short is given.
// Returns the exit status: 0 on success, 1 when the conversion failed,
// 2 for a usage error, 130 when `interrupted` turned true (Ctrl-C); only a
// successful conversion leaves the output file. Progress goes to `err` when
// `showProgress` is set (callers pass StandardErrorIsTerminal() for the real
// standard error).

#include <iosfwd>
#include <span>
#include <string>

#include "datalog/log_converter.h"

namespace corvel {

inline constexpr int kExitConversionFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

int RunLogConversionCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                            bool showProgress = false, const ConversionStop& interrupted = {});

}  // namespace corvel
