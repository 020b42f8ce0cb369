#pragma once
// What the configuration commands share: reading the transmitter's
// configuration through the tool's session, showing comparison rows and a
// restore plan, and carrying out a plan after the operator agreed.

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/tool_session.h"
#include "config/configuration_restore.h"

namespace corvel::cli {

TransmitterRoutes RoutesOf(const ToolSession& tool);

// The transmitter's configuration; throws OperationError when it cannot be read.
TransmitterReading ReadTransmitter(ToolSession& tool);

// Rows as a table (setting, transmitter, file) or, with --json, one record each.
void EmitRows(CommandCall& call, const std::vector<ComparisonRow>& rows, const std::string& fileHeading);

// The plan's writes, the settings it leaves alone and the rules' warnings.
void EmitPlan(CommandCall& call, const RestorePlan& plan);

// Applies the plan and reports the settings as they read back; a refusal or
// a failed write throw OperationError. With a question, the operator is
// asked first (or gives --yes); a "no" throws OperationError.
void ApplyPlan(CommandCall& call, ToolSession& tool, const RestorePlan& plan,
               const std::optional<std::string>& question);

// The operator's consent to `question`: --yes, or a "yes" on the terminal.
// Without a terminal and without --yes: UsageError; a "no": OperationError.
void RequireConsent(CommandCall& call, const std::string& question, const std::string& nothingDone);

}  // namespace corvel::cli
