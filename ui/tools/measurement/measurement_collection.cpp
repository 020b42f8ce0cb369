// Data collection of the Configuration window: a fixed number of readings at
// a fixed interval, shown live, kept in the sample buffer and written to the
// chosen file when the run ends.
#include <algorithm>

#include "ui/tools/measurement/measurement_model.h"
#include "common/number_format.h"

namespace corvel {
namespace {

constexpr const char* kNoPrecisionValue = "      ----------";

Message CollectionWarning(const char* text) {
    return Message{text, kCollectionCaption, MessageIcon::Warning, MessageButtons::Ok};
}

}  // namespace

void MeasurementModel::chooseFile() {
    const FileChoice choice{"File", kReadingsFileFilter, kReadingsFileExtension, state_.collection.path};
    if (const std::optional<std::string> path = context_.files.outputFile(choice)) state_.collection.path = *path;
    show();
}

void MeasurementModel::toggleAppend() { state_.collection.append = !state_.collection.append; }

std::optional<CollectionPlan> MeasurementModel::checkCollection() {
    CollectionPlan plan;
    const std::optional<unsigned> interval = ParseInterval(state_.collection.intervalText);
    if (!interval) {
        context_.prompter.notify(kNotAPositiveInteger);
        return std::nullopt;
    }
    const std::optional<int> samples = ParseSampleCount(state_.collection.samplesText);
    if (!samples) {
        context_.prompter.notify(kNotAnInteger);
        return std::nullopt;
    }
    plan.interval = *interval;
    plan.samples = *samples;
    if (plan.interval > kMaxCollectionInterval) {
        context_.prompter.show(CollectionWarning(kIntervalTooLong));
        return std::nullopt;
    }
    connection_.moduleAddress = static_cast<std::uint8_t>(
        NumberFromList(context_.store.read(key::kEPIAddress, "64"), 16, 112, connection_.moduleAddress));
    route_[5] = connection_.moduleAddress;
    if (state_.collection.path.empty()) {
        context_.prompter.show(CollectionWarning(kNoOutputFile));
        show();
        return std::nullopt;
    }
    return plan;
}

void MeasurementModel::collect() {
    std::optional<CollectionPlan> plan = checkCollection();
    if (!plan) return;
    plan->lineParts.p2Enabled = state_.p2Present;
    plan->lineParts.p2Heading = state_.p2.label;  // as shown when the run starts
    if (state_.resetMinMax) {
        session_.ReadMeasurementsForOutput(shownChannels(), route_, MinMax::With, 1, 1);
    }
    state_.activity = Activity::Collecting;
    show();
    samples_.clearValues();
    const int taken = runCollection(*plan);
    // A run stopped early reports and writes only the samples it took; a
    // count of none or fewer shows as entered.
    state_.collection.counter = std::min(taken, plan->samples);
    state_.activity = Activity::Idle;
    show();
    stopRequested_ = false;
    const bool headingRead = session_.ReadSensorInfoP1(route_);
    if (headingRead) {
        p1Heading_ = session_.p1Sensor.label + session_.p1Sensor.upperLimitText;
        state_.p1.label = session_.p1Sensor.label;
    }
    writeCollection(std::move(*plan), taken);
    show();
    if (!headingRead) tellNoAnswer(session_.statusText);
}

int MeasurementModel::runCollection(const CollectionPlan& plan) {
    const auto stop = [this] { return stopRequested_; };
    const std::chrono::milliseconds interval(static_cast<std::int64_t>(plan.interval) * 1000);
    state_.collection.counter = 1;
    int taken = 0;
    for (std::size_t entry = 0; taken < plan.samples; ++entry) {
        host_.wait(interval, stop);
        host_.processEvents();
        if (stopRequested_) break;
        if (plan.interval > 0) host_.wait(std::chrono::milliseconds(plan.interval), stop);
        session_.ReadMeasurements(shownChannels(), route_, MinMax::With, 1, 1);
        takeSample(entry);
        samples_[entry].answered = session_.lastExchangeSucceeded;
        if (!samples_[entry].answered) showFailedReading();
        reportReading();
        show();
        ++state_.collection.counter;
        ++taken;
    }
    return taken;
}

void MeasurementModel::takeSample(std::size_t entry) {
    SampleEntry& sample = samples_[entry];
    takeCollectedPressure(PressureInput::P1, sample.p1, true);
    StampNow(sample);
    if (state_.p2Present) takeCollectedPressure(PressureInput::P2, sample.p2, context_.comm.p2Present);
    const ChannelState& temperature = session_.temperature;
    state_.temperatureText = temperature.displayText;
    sample.temperature = SampleValues{temperature.value, temperature.minimum, temperature.maximum};
}

// One pressure input of a sample, shown with its precision digits whatever
// the digit choice; status 33 stores the out-of-range marker.
void MeasurementModel::takeCollectedPressure(PressureInput input, SampleValues& values, bool colour) {
    const ChannelState& channel = input == PressureInput::P1 ? session_.p1 : session_.p2;
    PressureState& shown = pressure(input);
    const int digits = channel.precisionDigits;
    shown.valueText = digits < 0 ? kNoPrecisionValue : FormatFixed(channel.value, 12, digits);
    shown.minimumText = FormatFixed(channel.minimum, 12, digits);
    shown.maximumText = FormatFixed(channel.maximum, 12, digits);
    const bool overRange = channel.statusCode == kHardOverRangeStatus;
    values = SampleValues{overRange ? kOutOfRangeMarker : channel.value, channel.minimum, channel.maximum};
    if (!colour) return;
    if (channel.statusCode == 32) shown.colour = FieldColour::Alarm;
    if (channel.statusCode == 0) shown.colour = FieldColour::Normal;
}

void MeasurementModel::writeCollection(CollectionPlan plan, int taken) {
    plan.lineParts.p1Heading = p1Heading_;
    plan.lineParts.p1Unit = p1UnitName_;
    plan.lineParts.p2Unit = p2UnitName_;
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(std::max(taken, 0)), kSampleBufferSize);
    std::vector<std::string> lines;
    lines.reserve(count);
    for (std::size_t entry = 0; entry < count; ++entry) {
        lines.push_back(ReadingsLine(static_cast<int>(entry + 1), samples_[entry], plan.lineParts));
    }
    std::string reason;
    if (!WriteReadingsFile(state_.collection.path, state_.collection.append, lines, reason)) {
        context_.prompter.show(Message{"The readings could not be written to " + state_.collection.path + ": " + reason,
                                       kCollectionCaption, MessageIcon::Error, MessageButtons::Ok});
    }
}

}  // namespace corvel
