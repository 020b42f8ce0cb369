#pragma once
// The data log utility without its widgets: the source (a .bin file on the PC
// or a log file in the instrument), the instrument's list of log files, the
// input and output paths, Erase All and Save File. A file from the instrument
// is copied to a temporary file of its own and converted from there; the
// output file is replaced only by a conversion that succeeds.

#include <functional>
#include <string>
#include <vector>

#include "link/device_session.h"
#include "link/log_directory.h"
#include "ui/support/prompter_notifier.h"
#include "ui/tools/tool_context.h"

namespace corvel {

class DataFileConversionModel {
public:
    enum class Source { Pc, Instrument };
    enum class AfterSave { KeepOpen, Close };

    // What the window does while a file is saved: show the progress (0 to
    // 100, and a line of text) and let the window handle its events.
    struct SaveView {
        std::function<void(int percent, const std::string& text)> progress;
        std::function<void()> processEvents;
    };

    explicit DataFileConversionModel(const ToolContext& context);
    DataFileConversionModel(const DataFileConversionModel&) = delete;
    DataFileConversionModel& operator=(const DataFileConversionModel&) = delete;

    // "Instrument" is offered only for the two-module models, which keep logs.
    bool instrumentAvailable() const { return context_.comm.q710Family; }
    Source source() const { return source_; }
    const std::string& inputPath() const { return inputPath_; }
    const std::string& outputPath() const { return outputPath_; }
    // One row per instrument log file, the last directory position first.
    const std::vector<std::string>& rows() const { return rows_; }
    int selectedRow() const { return selectedRow_; }
    bool copying() const { return copying_; }

    void selectPc();
    // Reads the instrument's list; returns to PC mode when it cannot.
    void selectInstrument();
    void selectRow(int row) { selectedRow_ = row; }
    void chooseInputFile();
    void chooseOutputFile();
    void eraseAll();
    // Keeps the raw .bin copied from the instrument beside the output file.
    void setKeepRawLog(bool keep) { keepRawLog_ = keep; }
    AfterSave save(const SaveView& view);
    // Cancel during a copy: the copy stops after the block in progress.
    void stopCopy() { stopRequested_ = true; }

private:
    bool fillList();
    bool convertFile(const std::string& input, const SaveView& view);
    enum class CopyEnd { Converted, Failed, Stopped };
    CopyEnd copyAndConvert(const SaveView& view);
    const LogDirectoryEntry* selectedEntry() const;
    AfterSave askAfterSave(bool saved);
    // False when the operator would rather keep an existing raw log beside the output.
    bool rawLogMayBeWritten();

    ToolContext context_;
    PrompterNotifier notifier_;
    DeviceSession session_;
    RouteBlock storeRoute_;
    RouteBlock stateRoute_;
    Source source_ = Source::Pc;
    std::string inputPath_;
    std::string outputPath_;
    std::vector<LogDirectoryEntry> entries_;
    std::vector<std::string> rows_;
    int selectedRow_ = -1;
    bool keepRawLog_ = false;
    bool copying_ = false;
    bool stopRequested_ = false;
};

// The list row of one instrument log file.
std::string LogListRowText(const LogDirectoryEntry& entry);

}  // namespace corvel
