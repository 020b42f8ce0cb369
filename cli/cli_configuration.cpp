#include "cli/cli_configuration.h"

#include <algorithm>
#include <array>

#include "link/device_addresses.h"

namespace corvel::cli {
namespace {

using TableLine = std::array<std::string, 3>;

// Characters, not bytes, so that "°F" lines up.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Columns as wide as their longest text, two blanks apart.
void PrintTable(std::ostream& out, const std::vector<TableLine>& lines) {
    std::array<std::size_t, 2> width{};
    for (const TableLine& line : lines)
        for (std::size_t i = 0; i < 2; ++i) width[i] = std::max(width[i], Width(line[i]));
    for (const TableLine& line : lines) {
        out << line[0] << std::string(width[0] - Width(line[0]) + 2, ' ') << line[1]
            << std::string(width[1] - Width(line[1]) + 2, ' ') << line[2] << '\n';
    }
}

std::string Joined(const std::vector<std::string>& settings) {
    std::string text;
    for (const std::string& setting : settings) text += (text.empty() ? "" : ", ") + setting;
    return text;
}

void EmitList(CommandCall& call, const char* name, const std::vector<std::string>& settings) {
    if (settings.empty()) return;
    if (call.output.json()) {
        for (const std::string& setting : settings) call.output.emit(Record().add(name, setting));
    } else {
        call.environment.out << name << ": " << Joined(settings) << '\n';
    }
}

void EmitProgress(CommandCall& call, const RestoreProgress& progress) {
    if (!call.environment.progressOnTerminal) return;
    call.environment.err << "\rwriting " << progress.done << " of " << progress.total
                         << (progress.done == progress.total ? "\n" : "") << std::flush;
}

}  // namespace

TransmitterRoutes RoutesOf(const ToolSession& tool) {
    return TransmitterRoutes{tool.route(kPressureModule), tool.route(kOutputModule), kCommunicationModule};
}

TransmitterReading ReadTransmitter(ToolSession& tool) {
    ReadOutcome outcome = ReadConfiguration(tool.device(), RoutesOf(tool), IsoTimeNow());
    if (!outcome.reading) tool.fail("cannot read " + outcome.failedRead + " from the transmitter");
    return std::move(*outcome.reading);
}

void EmitRows(CommandCall& call, const std::vector<ComparisonRow>& rows, const std::string& fileHeading) {
    if (call.output.json()) {
        for (const ComparisonRow& row : rows)
            call.output.emit(Record().add("setting", row.setting).add("transmitter", row.transmitterText)
                                 .add(fileHeading, row.fileText));
        return;
    }
    if (rows.empty()) return;
    std::vector<TableLine> lines{{"setting", "transmitter", fileHeading}};
    for (const ComparisonRow& row : rows) lines.push_back({row.setting, row.transmitterText, row.fileText});
    PrintTable(call.environment.out, lines);
}

void EmitPlan(CommandCall& call, const RestorePlan& plan) {
    if (plan.changes.empty() && !call.output.json()) call.environment.out << "nothing to write: the settings are the same\n";
    EmitRows(call, plan.changes, "restored");
    EmitList(call, "not_restored", plan.notRestored);
    EmitList(call, "warning", plan.warnings);
}

void RequireConsent(CommandCall& call, const std::string& question, const std::string& nothingDone) {
    if (call.args.flag("--yes")) return;
    if (!call.environment.confirm) throw UsageError("this needs --yes when it cannot ask on a terminal");
    if (!call.environment.confirm(question)) throw OperationError(nothingDone);
}

void ApplyPlan(CommandCall& call, ToolSession& tool, const RestorePlan& plan,
               const std::optional<std::string>& question) {
    if (plan.refusal) throw OperationError(*plan.refusal + "; nothing was written");
    if (plan.writes.empty()) return;
    if (question) RequireConsent(call, *question, "nothing was written");
    const RestoreResult result = ApplyRestore(tool.device(), RoutesOf(tool), plan,
                                              [&call](const RestoreProgress& p) { EmitProgress(call, p); });
    if (!result.notWritten.empty()) {
        throw OperationError(result.error, "written: " + (result.written.empty() ? "nothing" : Joined(result.written)) +
                                               "; not written: " + Joined(result.notWritten));
    }
    EmitRows(call, result.verified, "written");
    if (!result.succeeded) throw OperationError(result.error);
}

}  // namespace corvel::cli
