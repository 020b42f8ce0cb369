// The helpers that every record passes through are declared inline so that
// the compiler folds them into handle(): a log holds millions of records.
#include "datalog/log_line_assembler.h"

#include <algorithm>

#include "datalog/value_text.h"

namespace corvel {

namespace {

constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;
constexpr std::string_view kCarriedForward = "D";

std::string_view StatusText(std::uint8_t code) {
    switch (code) {
        case 0x00: return "";
        case 0x20: return "MS";
        case 0x21: return "MH";
        case 0x22: return "TS";
        case 0x23: return "TH";
        default: return "E";
    }
}

constexpr std::size_t kTimeTextLength = 8;
constexpr std::size_t kMaxStatusLength = 2;
// Room a line needs: each part may be copied as a fixed-size block that
// reaches past its text.
constexpr std::size_t kMaxLineLength = kRowNumberCopySize + 1 + kTimeTextLength +
                                       kColumnCount * (1 + kMaxValueTextLength + kValueTextCopySlack) + 1 +
                                       kMaxStatusLength + 2;

// "hh:mm:ss"
char* WriteClockTime(char* cursor, std::int64_t secondsIntoDay) {
    const auto seconds = static_cast<std::uint32_t>(secondsIntoDay);
    cursor = WriteTwoDigits(cursor, seconds / 3600);
    *cursor++ = ':';
    cursor = WriteTwoDigits(cursor, seconds / 60 % 60);
    *cursor++ = ':';
    return WriteTwoDigits(cursor, seconds % 60);
}

std::int64_t SecondsIntoDay(std::int64_t seconds) {
    if (seconds >= 0 && seconds < kSecondsPerDay) return seconds;  // the usual case: no day boundary crossed
    return ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
}

}  // namespace

LogLineAssembler::LogLineAssembler(const LogDescription& log, BufferedFileWriter& output)
    : log_(log), moduleCount_(static_cast<int>(log.modules.size())), output_(output) {
    for (std::size_t module = 0; module < std::min(log.modules.size(), channelPlans_.size()); ++module)
        std::copy(log.modules[module].begin(), log.modules[module].end(), channelPlans_[module].begin() + 1);
    const logFileHeader& header = log.header;
    clockSeconds_ = SecondsIntoDay(header.startHour() * 3600 + header.startMinute() * 60 + header.startSecond());
}

LogLineAssembler::Outcome LogLineAssembler::handle(const sampleRecord& record) {
    if (firstRecord_) previousTimeStamp_ = record.timeStamp();
    shortGap_ = false;
    if (record.isNoRecord()) {
        status_ = row_ == log_.sampleCount ? "" : kCarriedForward;
        writeLine(status_);
        finishRecord(record);
        return Outcome::Continue;
    }
    if (!firstRecord_) {
        const bool fillerWritten = completeByModuleSwitch(record) ||
                                   (record.timeStamp() != previousTimeStamp_ && handleChangeOfInstant(record));
        if (fillerWritten) {
            finishRecord(record);
            return Outcome::Continue;
        }
    }
    if (!record.isMarker()) {
        if (!placeValue(record)) return Outcome::UnknownModule;
        takeStatusCode(record);
    }
    finishRecord(record);
    return Outcome::Continue;
}

// The instant is complete once the module tag has changed as often as there
// are modules. Returns true when a filler line followed.
inline bool LogLineAssembler::completeByModuleSwitch(const sampleRecord& record) {
    if (isSingleModule()) return false;
    if (record.moduleTag() != previousModuleTag_) ++moduleSwitches_;
    if (moduleSwitches_ != moduleCount_) return false;
    if (pendingD_) status_ = kCarriedForward;
    return completeInstant(record);
}

// The time stamp moved on before the instant was complete. Returns true when
// a filler line was written.
bool LogLineAssembler::handleChangeOfInstant(const sampleRecord& record) {
    carryForwardMissingColumns();
    if (isSingleModule()) {
        // An instant of markers alone brought no value: its line repeats the previous one.
        if (!anyColumnHasValue()) status_ = kCarriedForward;
        const bool fillerWritten = completeInstant(record);
        status_ = "";
        return fillerWritten;
    }
    if (gapBefore(record)) {
        writeLine(kCarriedForward, Shown::LastValues);
        status_ = "";
        startInstant(record);
        return true;
    }
    if (status_ != kCarriedForward) {
        writeLine(status_);
        status_ = "";
        startInstant(record);
        return false;
    }
    // The line holds carried-forward values: it is written once every module
    // has reported.
    pendingD_ = true;
    previousTimeStamp_ = record.timeStamp();
    --moduleSwitches_;
    return completeByModuleSwitch(record);
}

// Writes the line of the instant, and a filler line after it when the record
// lies a gap after that instant. Returns true when a filler line was written.
bool LogLineAssembler::completeInstant(const sampleRecord& record) {
    writeLine(status_);
    const bool gap = gapBefore(record);
    if (gap) {
        status_ = kCarriedForward;
        writeLine(status_);
    }
    startInstant(record);
    return gap;
}

inline bool LogLineAssembler::placeValue(const sampleRecord& record) {
    if (record.moduleTag() == kFirstModuleTag) currentModule_ = 0;
    if (record.moduleTag() == kSecondModuleTag) currentModule_ = 1;
    if (currentModule_ >= static_cast<std::size_t>(moduleCount_)) return false;
    const ChannelPlan& channel = channelPlans_[currentModule_][record.channel()];
    if (channel.column == kNoColumn) return true;
    float value = channel.usesScale ? record.rawValue() * channel.scale : record.rawValue();
    if (channel.toFahrenheit) {
        value = value * 9.0f;
        value = value / 5.0f;
        value = value + 32.0f;
    }
    const auto column = static_cast<std::size_t>(channel.column);
    FormatValueText(value, channel.decimals, lastValues_[column]);
    blanked_[column] = false;
    hasValue_[column] = true;
    return true;
}

inline void LogLineAssembler::takeStatusCode(const sampleRecord& record) {
    if (record.statusCode() != 0) {
        status_ = StatusText(record.statusCode());
        statusSet_ = true;
    } else if (!statusSet_) {
        status_ = "";
    }
}

// Columns expected at this instant that got no value take their last value
// and mark the line "D"; P2 without units is left empty instead.
void LogLineAssembler::carryForwardMissingColumns() {
    if (!anyColumnHasValue()) return;
    for (std::size_t column = 0; column < kColumnCount; ++column) {
        if (hasValue_[column] || !log_.expectedColumns[column]) continue;
        if (column == kP2Column && log_.p2NotApplicable()) {
            blanked_[column] = true;
        } else {
            blanked_[column] = false;
            status_ = kCarriedForward;
        }
    }
}

bool LogLineAssembler::anyColumnHasValue() const {
    return std::any_of(hasValue_.begin(), hasValue_.end(), [](bool has) { return has; });
}

// A marker record 1.5 intervals or more after the previous instant, from the
// third line on, stands for an instant that was not logged.
bool LogLineAssembler::gapBefore(const sampleRecord& record) {
    const std::int64_t diff = record.timeStamp() - previousTimeStamp_;
    const std::int64_t interval = std::int64_t{log_.intervalSeconds} * 100;
    if (diff > 0 && diff < interval) shortGap_ = true;
    return diff != interval && row_ >= 3 && !shortGap_ && diff != 0 && diff >= interval + interval / 2 &&
           record.isMarker();
}

void LogLineAssembler::startInstant(const sampleRecord& record) {
    moduleSwitches_ = 0;
    hasValue_.fill(false);
    statusSet_ = false;
    pendingD_ = false;
    previousTimeStamp_ = record.timeStamp();
}

void LogLineAssembler::writeLine(std::string_view status, Shown shown) {
    char* const start = output_.reserve(kMaxLineLength);
    char* cursor = rowText_.copyTo(start);
    *cursor++ = ',';
    cursor = WriteClockTime(cursor, clockSeconds_);
    // Unrolled: every line has the five columns, and the loop control is a
    // good part of the cost of a short copy.
#pragma GCC unroll 5
    for (std::size_t column = 0; column < kColumnCount; ++column) {
        *cursor++ = ',';
        if (shown == Shown::LastValues || !blanked_[column]) cursor = lastValues_[column].copyTo(cursor);
    }
    *cursor++ = ',';
    cursor = std::copy(status.begin(), status.end(), cursor);
    *cursor++ = '\r';
    *cursor++ = '\n';
    output_.commit(static_cast<std::size_t>(cursor - start));
    clockSeconds_ = SecondsIntoDay(clockSeconds_ + log_.intervalSeconds);
    ++row_;
    rowText_.increment();
}

inline void LogLineAssembler::finishRecord(const sampleRecord& record) {
    previousModuleTag_ = record.moduleTag();
    firstRecord_ = false;
}

}  // namespace corvel
