#pragma once
// The data log utility without its widgets: the source (a .bin file on the PC
// or a log file in the instrument), the instrument's list of log files, the
// input and output paths, Erase All and Save File. A file from the instrument
// is copied to a temporary file of its own and converted from there; the
// output file is replaced only by a conversion that succeeds.

#include <string>
#include <vector>

#include "link/device_session.h"
#include "link/log_directory.h"
#include "ui/support/prompter_notifier.h"
#include "ui/support/window_host.h"
#include "ui/tools/tool_context.h"

namespace corvel {

enum class LogSource { Pc, Instrument };

// What the window shows; texts in UTF-8.
struct DataFileConversionState {
    LogSource source = LogSource::Pc;
    std::string inputPath;
    std::string outputPath;
    // One row per instrument log file, the last directory position first.
    std::vector<std::string> rows;
    int selectedRow = -1;
    bool copying = false;
};

class DataFileConversionModel {
public:
    enum class AfterSave { KeepOpen, Close };

    // While a file is saved the host shows the progress and handles the
    // window's events.
    DataFileConversionModel(const ToolContext& context, WindowHost& host);
    DataFileConversionModel(const DataFileConversionModel&) = delete;
    DataFileConversionModel& operator=(const DataFileConversionModel&) = delete;

    // "Instrument" is offered only for the two-module models, which keep logs.
    bool instrumentAvailable() const { return context_.comm.q710Family; }
    const DataFileConversionState& state() const { return state_; }

    void selectPc();
    // Reads the instrument's list; returns to PC mode when it cannot.
    void selectInstrument();
    void selectRow(int row) { state_.selectedRow = row; }
    void chooseInputFile();
    void chooseOutputFile();
    void eraseAll();
    // Keeps the raw .bin copied from the instrument beside the output file.
    void setKeepRawLog(bool keep) { keepRawLog_ = keep; }
    AfterSave save();
    // Cancel during a copy: the copy stops after the block in progress.
    void stopCopy() { stopRequested_ = true; }

private:
    bool fillList();
    bool convertFile(const std::string& input);
    enum class CopyEnd { Converted, Failed, Stopped };
    CopyEnd copyAndConvert();
    const LogDirectoryEntry* selectedEntry() const;
    AfterSave askAfterSave(bool saved);
    // False when the operator would rather keep an existing raw log beside the output.
    bool rawLogMayBeWritten();

    ToolContext context_;
    WindowHost& host_;
    PrompterNotifier notifier_;
    DeviceSession session_;
    RouteBlock storeRoute_;
    RouteBlock stateRoute_;
    DataFileConversionState state_;
    std::vector<LogDirectoryEntry> entries_;
    bool keepRawLog_ = false;
    bool stopRequested_ = false;
};

// The list row of one instrument log file.
std::string LogListRowText(const LogDirectoryEntry& entry);

}  // namespace corvel
