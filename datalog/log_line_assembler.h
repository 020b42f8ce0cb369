#pragma once
// Turns the stream of sample records into the data lines of the converted log:
// one line per sampling instant with the row number, the clock time, the five
// columns P1, P2, Volts, Current, Temp and the status text.
//
// A line is written when every module has reported (the module tag has
// changed as often as there are modules), or at a change of time stamp. A
// column that got no value at an instant is carried forward from the previous
// line and the line is marked "D". A marker record that arrives 1.5 intervals
// or more after the previous instant adds a filler line ("D"). Records with
// tag 0x00 (padding, end of the file) each write a line that repeats the last
// values. A log of a single module completes an instant at the change of time
// stamp.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "datalog/buffered_file_writer.h"
#include "datalog/log_description.h"
#include "datalog/log_file_format.h"
#include "datalog/row_number_text.h"
#include "datalog/value_text.h"

namespace corvel {

class LogLineAssembler {
public:
    enum class Outcome { Continue, UnknownModule };

    LogLineAssembler(const LogDescription& log, BufferedFileWriter& output);

    // True until `sampleCount` lines are written.
    bool wantsMoreRecords() const { return row_ <= log_.sampleCount; }
    // Handles the next record of the file; a value record of a module that the
    // file does not declare ends the conversion.
    Outcome handle(const sampleRecord& record);

private:
    // Which texts a line shows: the columns as they stand, or the last value
    // of every column (a filler line in place of an incomplete instant).
    enum class Shown { Columns, LastValues };

    bool completeByModuleSwitch(const sampleRecord& record);
    bool handleChangeOfInstant(const sampleRecord& record);
    bool completeInstant(const sampleRecord& record);
    bool placeValue(const sampleRecord& record);
    void takeStatusCode(const sampleRecord& record);
    void carryForwardMissingColumns();
    bool anyColumnHasValue() const;
    bool gapBefore(const sampleRecord& record);
    void startInstant(const sampleRecord& record);
    void writeLine(std::string_view status, Shown shown = Shown::Columns);
    void finishRecord(const sampleRecord& record);
    bool isSingleModule() const { return moduleCount_ == 1; }

    const LogDescription& log_;
    const int moduleCount_;
    BufferedFileWriter& output_;
    // The plan of each channel number a value record may carry, 0 to 4, for
    // the modules of the two module tags: one look-up per record. Channel 0
    // goes to no column.
    std::array<std::array<ChannelPlan, kFirstMarkerChannel>, 2> channelPlans_{};

    std::int64_t row_ = 1;
    RowNumberText rowText_;  // row_ as text
    std::int64_t clockSeconds_ = 0;  // seconds into the day of the next line
    std::int64_t previousTimeStamp_ = 0;
    std::uint8_t previousModuleTag_ = 0;
    std::size_t currentModule_ = 0;
    bool firstRecord_ = true;
    // A column shows the last value placed in it, unless it is blanked (P2
    // without units at an instant without a P2 value).
    std::array<ValueText, kColumnCount> lastValues_;
    std::array<bool, kColumnCount> blanked_{};
    std::array<bool, kColumnCount> hasValue_{};
    std::string_view status_;
    bool statusSet_ = false;
    bool pendingD_ = false;
    int moduleSwitches_ = 0;
    bool shortGap_ = false;
};

}  // namespace corvel
