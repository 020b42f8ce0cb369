// logs list, logs download NUMBER FILE, logs erase.

#include <algorithm>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "link/log_copy.h"
#include "link/log_directory.h"
#include "cli/tool_session.h"
#include "link/windows1252.h"

namespace corvel::cli {

namespace {

LogDirectory ReadDirectory(ToolSession& tool) {
    LogDirectory directory = ReadLogDirectoryEntries(tool.device(), tool.route(kLogStoreModule));
    switch (directory.outcome) {
        case LogDirectory::Outcome::Listed: return directory;
        case LogDirectory::Outcome::Collecting:
            throw OperationError("Wait until data collection in progress is complete before accessing log files");
        case LogDirectory::Outcome::Rejected:
        case LogDirectory::Outcome::Interrupted: break;
    }
    tool.fail("cannot read the log files of the transmitter at address " + std::to_string(tool.address()));
}

void ListLogs(CommandCall& call) {
    call.args.finish();
    ToolSession tool(call);
    const std::vector<LogDirectoryEntry> entries = ReadDirectory(tool).entries;
    for (const LogDirectoryEntry& entry : entries) {
        Record record;
        record.add("number", static_cast<int>(entry.fileNumber))
            .add("file_name", Windows1252ToUtf8(entry.fileName))
            .add("log_name", Windows1252ToUtf8(entry.logName))
            .add("start_time", entry.startTime)
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
    const auto number = static_cast<int>(ParseInteger(call.args.takePositional("log file NUMBER"), 1, 254, "log file NUMBER"));
    const std::string path = call.args.takePositional("output FILE");
    call.args.finish();
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
    const bool confirmed = call.args.takeFlag("--yes");
    call.args.finish();
    if (!confirmed && !call.environment.confirm)
        throw UsageError("logs erase needs --yes when it cannot ask on a terminal");
    ToolSession tool(call);
    if (!confirmed && !call.environment.confirm("Erase all log files of the transmitter at address " +
                                                std::to_string(tool.address()) + " on " + call.options.port + "?"))
        throw OperationError("nothing erased");
    tool.require(tool.device().EraseAllLogFiles(tool.route(kLogStoreModule)), "erasing the log files failed");
    Record record;
    record.add("erased", true);
    call.output.emit(record);
}

}  // namespace

void RunLogs(CommandCall& call) {
    const std::string action = call.args.takePositional("logs action (list, download or erase)");
    if (action == "list") return ListLogs(call);
    if (action == "download") return DownloadLog(call);
    if (action == "erase") return EraseLogs(call);
    throw UsageError("unknown logs action \"" + action + "\"");
}

}  // namespace corvel::cli
