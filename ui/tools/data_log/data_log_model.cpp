#include "ui/tools/data_log/data_log_model.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>

#include "datalog/log_converter.h"
#include "link/device_addresses.h"
#include "link/log_copy.h"
#include "link/stored_connection.h"
#include "link/windows1252.h"

namespace corvel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kInputFilter = ".bin Files (*.bin)|*.bin||";
constexpr const char* kOutputFilter = ".csv Files (*.csv)|*.csv||";
constexpr const char* kCollectingMessage = "Wait until data collection in progress\n is complete before accessing log files";
constexpr const char* kEmptyListGuidance =
    "There is no log file to save: the instrument's list is empty. Choose \"Instrument\" again to read the "
    "list, or \"Browse PC\" to convert a file on this PC.";

// The conversion's questions and reports as the window's message boxes.
class ConversionBoxes final : public ConversionPrompter {
public:
    explicit ConversionBoxes(Prompter& prompter) : prompter_(prompter) {}
    bool askYesNo(const std::string& caption, const std::string& text) override {
        return prompter_.show({text, caption, MessageIcon::Warning, MessageButtons::YesNo}) == MessageAnswer::Yes;
    }
    void report(const std::string& text) override { prompter_.error(text); }
    void inform(const std::string& text) override { prompter_.inform(text); }

private:
    Prompter& prompter_;
};

// The proposed output name: the input's file name without its last four
// characters (".bin"), or "Output", with ".csv".
std::string ProposedOutputName(const std::string& inputPath) {
    if (inputPath.empty()) return "Output.csv";
    const std::string name = fs::path(inputPath).filename().string();
    return name.substr(0, name.size() >= 4 ? name.size() - 4 : 0) + ".csv";
}

// The raw log kept beside the output file: its name with ".bin".
fs::path RawLogBeside(const std::string& outputPath) {
    fs::path raw = fs::path(outputPath).replace_extension(".bin");
    return raw == fs::path(outputPath) ? fs::path(outputPath + ".bin") : raw;
}

std::string CopyProgressText(const LogCopyProgress& progress) {
    std::string text = "Block " + std::to_string(progress.blocks) + " of about " +
                       std::to_string(progress.estimatedBlocks) + " (" + std::to_string(progress.bytes()) + " bytes)";
    if (progress.attempt > 1) text += ", attempt " + std::to_string(progress.attempt);
    if (progress.remaining) text += ", about " + std::to_string(progress.remaining->count()) + " s left";
    return text;
}

}  // namespace

std::string LogListRowText(const LogDirectoryEntry& entry) {
    return Windows1252ToUtf8(entry.fileName) + "     " + Windows1252ToUtf8(entry.logName) + "        start time: " + entry.startTime + "        " +
           std::to_string(entry.samples) + " samples";
}

DataFileConversionModel::DataFileConversionModel(const ToolContext& context, WindowHost& host)
    : context_(context),
      host_(host),
      notifier_(context.prompter),
      session_(LinkContext{context.comm, context.store, context.ports, notifier_, context.shared, context.exchanges}) {
    const StoredConnection connection = ReadStoredConnection(context.store, context.comm);
    const auto port = static_cast<std::uint8_t>(connection.portNumber);
    storeRoute_ = {port, 0xF0, 0x80, connection.networkAddress, 0xF0, kLogStoreModule};
    stateRoute_ = storeRoute_;
    stateRoute_.back() = kLogStateModule;
}

void DataFileConversionModel::selectPc() {
    state_.source = LogSource::Pc;
    entries_.clear();
    state_.rows.clear();
    state_.selectedRow = -1;
}

void DataFileConversionModel::selectInstrument() {
    state_.source = LogSource::Instrument;
    if (!fillList()) selectPc();
}

bool DataFileConversionModel::fillList() {
    entries_.clear();
    state_.rows.clear();
    state_.selectedRow = -1;
    LogDirectory directory = ReadLogDirectoryEntries(session_, storeRoute_);
    if (directory.outcome == LogDirectory::Outcome::Collecting) {
        context_.prompter.notify(kCollectingMessage);
        return false;
    }
    if (directory.outcome == LogDirectory::Outcome::Rejected) {
        context_.prompter.error("The instrument's log files cannot be read: " + directory.failure);
        return false;
    }
    // A refusal part way has been shown ("error %d"); the files listed before it stay.
    entries_ = std::move(directory.entries);
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) state_.rows.push_back(LogListRowText(*entry));
    if (!state_.rows.empty()) state_.selectedRow = 0;
    return true;
}

const LogDirectoryEntry* DataFileConversionModel::selectedEntry() const {
    if (state_.selectedRow < 0 || state_.selectedRow >= static_cast<int>(entries_.size())) return nullptr;
    return &entries_[entries_.size() - 1 - static_cast<std::size_t>(state_.selectedRow)];
}

void DataFileConversionModel::chooseInputFile() {
    if (auto path = context_.files.openFile({"Input File", kInputFilter, "bin", "*.bin"})) state_.inputPath = *path;
}

void DataFileConversionModel::chooseOutputFile() {
    // The chooser has asked before an existing file is replaced; the file itself
    // is replaced only when the save succeeds.
    if (auto path = context_.files.saveFile({"Output File", kOutputFilter, "csv", ProposedOutputName(state_.inputPath)}))
        state_.outputPath = *path;
}

void DataFileConversionModel::eraseAll() {
    if (context_.prompter.confirm("Are you sure you want to erase all files?", MessageAnswer::No) &&
        !session_.EraseAllLogFiles(storeRoute_))
        context_.prompter.error("The log files were not erased: " + session_.statusText);
    entries_.clear();
    state_.rows.clear();
    state_.selectedRow = -1;
}

DataFileConversionModel::AfterSave DataFileConversionModel::save() {
    if (state_.source == LogSource::Pc && (state_.inputPath.empty() || state_.outputPath.empty())) {
        context_.prompter.error("Specify Input and Output files");
        return AfterSave::KeepOpen;
    }
    if (state_.source == LogSource::Instrument && state_.outputPath.empty()) {
        context_.prompter.error("Specify Output file");
        return AfterSave::KeepOpen;
    }
    if (state_.source == LogSource::Instrument && !selectedEntry()) {
        context_.prompter.error(kEmptyListGuidance);
        return AfterSave::KeepOpen;
    }
    if (state_.source == LogSource::Instrument && !rawLogMayBeWritten()) return AfterSave::KeepOpen;
    bool saved = false;
    if (state_.source == LogSource::Pc) {
        saved = convertFile(state_.inputPath);
    } else {
        const CopyEnd end = copyAndConvert();
        if (end == CopyEnd::Stopped) {
            host_.showProgress(0, "Stopped; nothing was saved.");
            return AfterSave::KeepOpen;
        }
        saved = end == CopyEnd::Converted;
    }
    host_.showProgress(0, "");
    return askAfterSave(saved);
}

bool DataFileConversionModel::rawLogMayBeWritten() {
    if (!keepRawLog_) return true;
    const fs::path raw = RawLogBeside(state_.outputPath);
    std::error_code error;
    if (!fs::is_regular_file(raw, error)) return true;
    return context_.prompter.confirm(raw.filename().string() + " already exists.\nDo you want to replace it?",
                                     MessageAnswer::No);
}

DataFileConversionModel::AfterSave DataFileConversionModel::askAfterSave(bool saved) {
    const Message question = saved ? Message{"File save complete. Another?", "Success", MessageIcon::Information,
                                             MessageButtons::YesNo}
                                   : Message{"File save failed. Retry?", std::string(kErrorCaption), MessageIcon::Error,
                                             MessageButtons::YesNo};
    if (saved) {
        state_.inputPath.clear();
        state_.outputPath.clear();
    }
    return context_.prompter.show(question) == MessageAnswer::Yes ? AfterSave::KeepOpen : AfterSave::Close;
}

bool DataFileConversionModel::convertFile(const std::string& input) {
    ConversionBoxes boxes(context_.prompter);
    return convert(input, state_.outputPath, boxes, [&](std::uint64_t read, std::uint64_t size) {
        host_.showProgress(size ? static_cast<int>(read * 100 / size) : 0, "Converting");
        host_.processEvents();
    });
}

DataFileConversionModel::CopyEnd DataFileConversionModel::copyAndConvert() {
    const LogDirectoryEntry& entry = *selectedEntry();
    // A folder of this run's own in the user's temporary folder; it goes, with
    // the copy in it, whatever the outcome.
    const QTemporaryDir folder(QDir::tempPath() + "/corvel-setup-XXXXXX");
    if (!folder.isValid()) {
        context_.prompter.error("No temporary folder for the copy: " + folder.errorString().toStdString());
        return CopyEnd::Failed;
    }
    const fs::path raw =
        keepRawLog_ ? RawLogBeside(state_.outputPath) : fs::path(folder.path().toStdString()) / "download.bin";
    state_.copying = true;
    stopRequested_ = false;
    const LogCopyRequest request{storeRoute_, stateRoute_, entry.fileNumber, entry.estimatedBlocks()};
    const LogCopyResult copy = CopyLogFile(session_, request, raw, [&](const LogCopyProgress& progress) {
        host_.showProgress(progress.percent(), CopyProgressText(progress));
        host_.processEvents();
        return !stopRequested_;
    });
    state_.copying = false;
    if (copy.outcome == LogCopyResult::Outcome::Stopped) return CopyEnd::Stopped;
    if (!copy.complete()) {
        context_.prompter.error("The log file was not copied from the instrument: " + copy.failure);
        return CopyEnd::Failed;
    }
    return convertFile(raw.string()) ? CopyEnd::Converted : CopyEnd::Failed;
}

}  // namespace corvel
