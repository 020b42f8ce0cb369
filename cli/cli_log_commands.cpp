// logs list, logs download NUMBER FILE, logs erase.

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "tool_session.h"

namespace corvel::cli {

namespace {

constexpr std::uint8_t kCollecting = 'W';
constexpr int kLastDirectoryPosition = 255;
// No transmitter holds a log this large; a transfer that goes on beyond it is
// stopped rather than left running.
constexpr std::size_t kMostBlocks = std::size_t{1} << 20;
constexpr std::size_t kBlockSize = 128;

struct LogEntry {
    int fileNumber = 0;
    std::string fileName;
    std::string logName;
    std::string startTime;
    std::uint32_t samples = 0;
    int modules = 0;
};

std::string TwoDigits(int value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

// "%02d/%02d/%04d %02d:%02d:%02d" from the start-time bytes of a log file
// header: year (u16), first and second date fields, reserved, hour, minute, second.
std::string StartTimeText(const std::array<std::uint8_t, 8>& bytes) {
    const int year = bytes[0] | (bytes[1] << 8);
    return TwoDigits(bytes[2], 2) + "/" + TwoDigits(bytes[3], 2) + "/" + TwoDigits(year, 4) + " " +
           TwoDigits(bytes[5], 2) + ":" + TwoDigits(bytes[6], 2) + ":" + TwoDigits(bytes[7], 2);
}

// The transmitter's log files: directory positions 1, 2, ... until a name is
// empty or repeats. A file's number is its directory position less one.
std::vector<LogEntry> ReadDirectory(ToolSession& tool) {
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kLogStoreModule);
    const std::uint8_t count = device.ReadLogFileCount(route);
    if (count == kCollecting)
        throw OperationError("Wait until data collection in progress is complete before accessing log files");
    std::vector<LogEntry> entries;
    std::set<std::string> names;
    for (int position = 1; position <= kLastDirectoryPosition; ++position) {
        const std::string name = device.ReadLogDirectory(route, static_cast<std::uint8_t>(position));
        if (!device.lastExchangeSucceeded) tool.fail("reading the log directory failed");
        if (name.empty() || !names.insert(name).second) break;
        entries.push_back({position - 1, name, device.logNameText, StartTimeText(device.logStartTimeBytes),
                           U32At(device.logSampleCountBytes, 0), device.logModuleCount});
    }
    return entries;
}

void ListLogs(CommandCall& call) {
    call.args.finish();
    ToolSession tool(call.options, call.environment.ports, call.environment.err);
    const std::vector<LogEntry> entries = ReadDirectory(tool);
    for (const LogEntry& entry : entries) {
        Record record;
        record.add("number", entry.fileNumber)
            .add("file_name", entry.fileName)
            .add("log_name", entry.logName)
            .add("start_time", entry.startTime)
            .add("samples", static_cast<std::int64_t>(entry.samples))
            .add("modules", entry.modules);
        call.output.emit(record);
    }
    if (entries.empty() && !call.output.json()) call.environment.out << "no log files\n";
}

// The estimate of the number of blocks in a log file: 20 bytes per sample and
// module, in 128-byte blocks, and two more for the headers.
std::size_t EstimatedBlocks(const LogEntry* entry) {
    if (!entry) return 0;
    return static_cast<std::size_t>(entry->modules) * entry->samples * 20 / kBlockSize + 2;
}

class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool shown, std::size_t estimate) : err_(err), shown_(shown), estimate_(estimate) {}
    void update(std::size_t blocks) {
        if (!shown_) return;
        err_ << "\rDownloading: " << blocks * kBlockSize << " bytes";
        if (estimate_) err_ << " (" << std::min<std::size_t>(100, std::max<std::size_t>(1, blocks * 100 / estimate_)) << "%)";
        err_.flush();
    }
    void finish() {
        if (shown_) err_ << '\n';
    }

private:
    std::ostream& err_;
    bool shown_;
    std::size_t estimate_;
};

// Copies the blocks of one log file; throws when the transfer fails.
std::vector<std::uint8_t> DownloadBlocks(ToolSession& tool, std::uint8_t fileNumber, ProgressLine& progress) {
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kLogStoreModule);
    device.ReadLogState(tool.route(kLogStateModule), 255);
    tool.require(device.OpenLogFile(route, fileNumber), "opening the log file failed");
    std::vector<std::uint8_t> image;
    bool more = true;
    while (more) {
        if (image.size() >= kMostBlocks * kBlockSize) tool.fail("the log file does not end");
        more = device.ReadLogBlock(route, fileNumber);
        if (!device.logBlockReceived) tool.fail("reading a log block failed");
        image.insert(image.end(), device.logBuffer.begin(), device.logBuffer.end());
        progress.update(image.size() / kBlockSize);
    }
    progress.finish();
    device.CloseLogFile(route, fileNumber);
    device.ReadLogState(tool.route(kLogStateModule), 0);
    return image;
}

// Writes the whole image to a temporary file beside `path`, then renames it,
// so that `path` never holds a partial log.
void WriteComplete(const std::string& path, const std::vector<std::uint8_t>& image) {
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw OperationError("cannot write " + temporary);
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw OperationError("cannot rename " + temporary + " to " + path);
    }
}

void DownloadLog(CommandCall& call) {
    const auto number = static_cast<std::uint8_t>(ParseInteger(call.args.takePositional("log file NUMBER"), 0, 254, "NUMBER"));
    const std::string path = call.args.takePositional("output FILE");
    call.args.finish();
    ToolSession tool(call.options, call.environment.ports, call.environment.err);
    const std::vector<LogEntry> entries = ReadDirectory(tool);
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const LogEntry& e) { return e.fileNumber == number; });
    ProgressLine progress(call.environment.err, call.environment.progressOnTerminal,
                          EstimatedBlocks(entry == entries.end() ? nullptr : &*entry));
    const std::vector<std::uint8_t> image = DownloadBlocks(tool, number, progress);
    WriteComplete(path, image);
    Record record;
    record.add("number", static_cast<int>(number)).add("file", path).add("bytes", static_cast<std::int64_t>(image.size()));
    call.output.emit(record);
}

void EraseLogs(CommandCall& call) {
    call.args.finish();
    ToolSession tool(call.options, call.environment.ports, call.environment.err);
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
