// logs list, logs download NUMBER FILE, logs erase.

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "common/number_format.h"
#include "link/log_copy.h"
#include "link/log_directory.h"
#include "cli/tool_session.h"
#include "link/windows1252.h"

namespace corvel::cli {

namespace {

// The reply statuses "Command 1 (2, 3) not supported or invalid".
constexpr std::uint8_t kUnknownCommandStatuses[] = {0x10, 0x11, 0x12};

// A model without a log store refuses the log commands as unknown.
bool RefusedAsUnknown(const DeviceSession& device) {
    for (const std::uint8_t code : kUnknownCommandStatuses)
        if (device.statusText == StatusText(code)) return true;
    return false;
}

// Names the model when the transmitter tells it.
[[noreturn]] void FailWithoutLogs(ToolSession& tool) {
    DeviceSession& device = tool.device();
    const bool named = device.ReadDeviceStrings(tool.route(kPressureModule), kCommunicationModule) &&
                       !device.memory.modelNameText.empty();
    const std::string model = named ? Windows1252ToUtf8(device.memory.modelNameText) : "transmitter";
    throw OperationError("the " + model + " " + tool.placeText() + " keeps no logs (this model has no log store)");
}

// Fails the command, in words of its own for a model that keeps no logs.
[[noreturn]] void FailLogCommand(ToolSession& tool, const std::string& what) {
    if (RefusedAsUnknown(tool.device())) FailWithoutLogs(tool);
    tool.fail(what);
}

LogDirectory ReadDirectory(ToolSession& tool) {
    LogDirectory directory = ReadLogDirectoryEntries(tool.device(), tool.route(kLogStoreModule));
    switch (directory.outcome) {
        case LogDirectory::Outcome::Listed: return directory;
        case LogDirectory::Outcome::Collecting:
            throw OperationError("Wait until data collection in progress is complete before accessing log files");
        case LogDirectory::Outcome::Rejected:
        case LogDirectory::Outcome::Interrupted: break;
    }
    FailLogCommand(tool, "reading the log files failed");
}

// "2026-12-07T08:00:00" of the directory's "12/07/2026 08:00:00" (the
// transmitter's clock, which keeps no time zone); nothing when the text is
// no such time.
std::optional<std::string> IsoStartTime(std::string_view text) {
    constexpr std::string_view kShape = "MM/DD/YYYY hh:mm:ss";
    if (text.size() != kShape.size()) return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = std::isalpha(static_cast<unsigned char>(kShape[i])) != 0;
        if (digit ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != kShape[i]) return std::nullopt;
    }
    const auto within = [text](std::size_t at, int low, int high) {
        const int value = *ParseWholeText<int>(text.substr(at, 2));
        return value >= low && value <= high;
    };
    if (!within(0, 1, 12) || !within(3, 1, 31) || !within(11, 0, 23) || !within(14, 0, 59) || !within(17, 0, 59))
        return std::nullopt;
    return std::string(text.substr(6, 4)) + "-" + std::string(text.substr(0, 2)) + "-" +
           std::string(text.substr(3, 2)) + "T" + std::string(text.substr(11, 8));
}

void ListLogs(CommandCall& call) {
    ToolSession tool(call);
    const std::vector<LogDirectoryEntry> entries = ReadDirectory(tool).entries;
    for (const LogDirectoryEntry& entry : entries) {
        Record record;
        record.add("number", static_cast<int>(entry.fileNumber))
            .add("file_name", Windows1252ToUtf8(entry.fileName))
            .add("log_name", Windows1252ToUtf8(entry.logName))
            .add("start_time", IsoStartTime(entry.startTime))
            .add("samples", static_cast<std::int64_t>(entry.samples))
            .add("modules", entry.modules);
        call.output.emit(record);
    }
    if (entries.empty() && !call.output.json()) call.environment.out << "no log files\n";
}

// The listed file of that number, or an error naming the numbers there are.
const LogDirectoryEntry& ListedFile(const std::vector<LogDirectoryEntry>& entries, int number) {
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const LogDirectoryEntry& e) { return e.fileNumber == number; });
    if (entry != entries.end()) return *entry;
    const std::string there = entries.empty() ? "the transmitter keeps no log files"
                                              : "the transmitter keeps log files 1 to " + std::to_string(entries.size());
    throw OperationError("there is no log file " + std::to_string(number) + ": " + there);
}

class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool shown) : err_(err), shown_(shown) {}
    ~ProgressLine() {
        if (drawn_) err_ << '\n';
    }
    bool update(const LogCopyProgress& progress) {
        if (!shown_) return true;
        err_ << "\rDownloading: " << progress.blocks << " blocks, " << progress.bytes() << " bytes ("
             << progress.percent() << "%)";
        if (progress.attempt > 1) err_ << ", attempt " << progress.attempt;
        if (progress.remaining) err_ << ", about " << progress.remaining->count() << " s left";
        err_ << "   ";
        err_.flush();
        drawn_ = true;
        return true;
    }

private:
    std::ostream& err_;
    bool shown_;
    bool drawn_ = false;
};

void DownloadLog(CommandCall& call) {
    const auto number = static_cast<int>(ParseInteger(call.args.positional("NUMBER"), 1, 254, "log file NUMBER"));
    const std::string path = call.args.positional("FILE.bin");
    if (const auto problem = LogTargetProblem(path)) throw OperationError(*problem);
    ToolSession tool(call);
    const LogDirectory directory = ReadDirectory(tool);
    const LogDirectoryEntry& entry = ListedFile(directory.entries, number);
    const LogCopyRequest request{tool.route(kLogStoreModule), tool.route(kLogStateModule), entry.fileNumber,
                                 entry.estimatedBlocks()};
    LogCopyResult result;
    {
        ProgressLine progress(call.environment.err, call.environment.progressOnTerminal);
        result = CopyLogFile(tool.device(), request, path,
                             [&](const LogCopyProgress& p) { return progress.update(p); });
    }
    if (!result.complete()) throw OperationError(result.failure);
    Record record;
    record.add("number", number).add("file", path).add("bytes", static_cast<std::int64_t>(result.bytes));
    call.output.emit(record);
}

void EraseLogs(CommandCall& call) {
    const bool confirmed = call.args.flag("--yes");
    if (!confirmed && !call.environment.confirm)
        throw UsageError("logs erase needs --yes when it cannot ask on a terminal");
    ToolSession tool(call);
    if (!confirmed && !call.environment.confirm("Erase all log files of " + tool.transmitterText() + "?"))
        throw OperationError("nothing erased");
    if (!tool.device().EraseAllLogFiles(tool.route(kLogStoreModule))) FailLogCommand(tool, "erasing the log files failed");
    Record record;
    record.add("erased", true);
    call.output.emit(record);
}

}  // namespace

void AddLogCommands(CommandLine& commandLine) {
    CLI::App& logs = commandLine.addGroup("logs", "The log files kept in the transmitter.");
    commandLine.addCommand(logs, "list", "Lists the log files kept in the transmitter, with the NUMBER of each.",
                           ListLogs);
    CLI::App& download = commandLine.addCommand(
        logs, "download",
        "Copies log file NUMBER into FILE.bin; the file appears only when the copy is complete\n"
        "(a progress line shows on a terminal).",
        DownloadLog);
    download.add_option("NUMBER", "the log file's number, as logs list shows it");
    download.add_option("FILE.bin", "the file to write");
    commandLine.addCommand(logs, "erase", "Erases all log files in the transmitter, after a question on the terminal.",
                           EraseLogs)
        .add_flag("--yes")
        ->description("erase without asking (needed where there is no terminal to ask on)");
}

}  // namespace corvel::cli
