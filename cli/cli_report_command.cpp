// report: the commissioning report as Markdown, with the transmitter's
// identity, every configuration setting and the as-found readings.

#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_configuration.h"
#include "cli/tool_session.h"
#include "common/program_version.h"
#include "common/replace_file.h"
#include "report/report_markdown.h"

namespace corvel::cli {

namespace {

void WriteReport(const CommandCall& call, const std::string& path, const std::string& markdown) {
    if (path == "-") {
        call.environment.out << markdown;
        return;
    }
    std::string error;
    if (!ReplaceFileContents(path, false, {markdown}, error))
        throw OperationError("cannot write the report to " + path + ": " + error);
}

void RunReport(CommandCall& call) {
    const std::string path = call.args.positional("FILE.md");
    const auto readings = call.args.value("--readings");
    const int count = readings ? static_cast<int>(ParseInteger(*readings, 1, kMaxReadingCount, "--readings"))
                               : kDefaultReadingCount;
    ToolSession tool(call);
    ReportInputs inputs{std::string("Corvel Setup Utility ") + kProgramVersion + " (corvelctl)", ReportDateTimeNow(),
                        call.args.value("--technician").value_or(""), call.args.value("--note").value_or(""),
                        ReadTransmitter(tool).configuration, {}};
    inputs.readings = TakeAsFoundReadings(tool.device(), tool.route(kPressureModule),
                                          inputs.configuration.p2.has_value(), count);
    WriteReport(call, path, ReportMarkdown(BuildCommissioningReport(inputs)));
    if (path == "-") return;
    Record record;
    record.add("report", path).add("readings", count);
    call.output.emit(record);
}

}  // namespace

void AddReportCommand(CommandLine& commandLine) {
    CLI::App& report = commandLine.addCommand(
        commandLine.tool(), "report",
        "Writes the commissioning report as Markdown into FILE.md (- for standard output): the\n"
        "transmitter's identity, every configuration setting and N as-found readings with their\n"
        "status, minimum, maximum and mean, with lines for signatures. The file appears only when complete.",
        RunReport);
    report.add_option("FILE.md", "the file to write, or - for standard output");
    report.add_option("--readings", "how many as-found readings to take, 1 to 100 (default 10)")->option_text("N");
    report.add_option("--technician", "the technician's name")->option_text("NAME");
    report.add_option("--note", "a note for the report")->option_text("TEXT");
}

}  // namespace corvel::cli
