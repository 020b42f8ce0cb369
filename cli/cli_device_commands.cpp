// identify, read, info and the three identification-text writes.

#include <chrono>
#include <string>
#include <string_view>

#include "cli/cli_commands.h"
#include "common/iso_time.h"
#include "common/number_format.h"
#include "link/reading_status.h"
#include "cli/tool_session.h"
#include "link/windows1252.h"

namespace corvel::cli {

namespace {

constexpr std::size_t kTagLength = 32;
constexpr std::size_t kDescriptionLength = 128;

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// "GI" of the input's label "P1:  GI".
std::string PlainLabel(const std::string& label) {
    const auto colon = label.find(':');
    return Trimmed(colon == std::string::npos ? label : std::string_view(label).substr(colon + 1));
}

void AddSensor(Record& record, const std::string& prefix, const SensorInfo& sensor) {
    record.add(prefix + "_label", Windows1252ToUtf8(PlainLabel(sensor.label)))
        .add(prefix + "_lower_limit", sensor.lowerLimit)
        .add(prefix + "_upper_limit", sensor.upperLimit)
        .add(prefix + "_unit", Windows1252ToUtf8(Trimmed(sensor.unitName)));
}

// Whether the transmitter has a second pressure input.
bool HasP2(ToolSession& tool) { return tool.device().ReadDeviceKind(tool.route(kPressureModule)) == 0; }

void ReadSensors(ToolSession& tool, bool p2, Record& record) {
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kPressureModule);
    tool.require(device.ReadSensorInfoP1(route), "reading the P1 sensor information failed");
    AddSensor(record, "p1", device.p1Sensor);
    if (!p2) return;
    tool.require(device.ReadSensorInfoP2(route), "reading the P2 sensor information failed");
    AddSensor(record, "p2", device.p2Sensor);
}

// The value text of a pressure channel after the reading status table.
std::string PressureText(const ChannelState& channel, const ReadingStatus& status) {
    return status.dashChannelValue ? kDashedValue : Trimmed(channel.displayText);
}

void AddPressureReading(Record& record, const std::string& prefix, const ChannelState& channel, bool p1) {
    const ReadingStatus status = ReadingStatusOf(channel.statusCode, p1);
    record.add(prefix, PressureText(channel, status))
        .add(prefix + "_value", channel.value)
        .add(prefix + "_unit", Windows1252ToUtf8(Trimmed(channel.unitName)))
        .add(prefix + "_status", channel.statusCode)
        .add(prefix + "_status_text", status.text.value_or(""));
}

// A temperature over range reported by a pressure channel dashes the temperature.
bool TemperatureDashed(const ChannelState& p1, const ChannelState* p2) {
    return ReadingStatusOf(p1.statusCode, true).dashTemperatureValue ||
           (p2 && ReadingStatusOf(p2->statusCode).dashTemperatureValue);
}

Record ReadingRecord(DeviceSession& device, bool p2, int index) {
    Record record;
    record.add("reading", index).add("time", IsoUtcTime(std::chrono::system_clock::now()));
    AddPressureReading(record, "p1", device.p1, true);
    if (p2) AddPressureReading(record, "p2", device.p2, false);
    const ChannelState& temperature = device.temperature;
    record.add("temperature", TemperatureDashed(device.p1, p2 ? &device.p2 : nullptr) ? std::string(kDashedValue)
                                                                                    : Trimmed(temperature.displayText))
        .add("temperature_value", temperature.value)
        .add("temperature_unit", Windows1252ToUtf8(Trimmed(temperature.unitName)))
        .add("temperature_status", temperature.statusCode);
    return record;
}

// Writes one of the identification texts, keeping the others as they are.
enum class IdText { Tag, Asset, Description };

void WriteIdText(CommandCall& call, IdText which) {
    const std::string text = call.args.positional("TEXT");
    // The transmitter keeps its texts as Windows-1252 bytes, one a character.
    const std::optional<std::string> stored = Utf8ToWindows1252(text);
    if (!stored) throw UsageError("the text holds a character that the transmitter cannot store (Windows-1252 only)");
    const std::size_t limit = which == IdText::Description ? kDescriptionLength : kTagLength;
    if (stored->size() > limit)
        throw UsageError("the text is " + std::to_string(stored->size()) +
                         " characters long; the transmitter keeps " + std::to_string(limit));
    ToolSession tool(call);
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kPressureModule);
    if (which == IdText::Description) {
        tool.require(device.WriteDescription(route, kPressureModule, *stored), "writing the description failed");
    } else {
        tool.require(device.ReadTagAndAsset(route, kPressureModule), "reading the tag and asset failed");
        const std::string tag = which == IdText::Tag ? *stored : device.tagText;
        const std::string asset = which == IdText::Asset ? *stored : device.assetText;
        tool.require(device.WriteTagAndAsset(route, kPressureModule, tag, asset), "writing the tag and asset failed");
    }
    Record record;
    record.add(which == IdText::Tag ? "tag" : which == IdText::Asset ? "asset" : "description", text);
    call.output.emit(record);
}

// The fields that identify and info both start with.
Record IdentityRecord(const DeviceSession& device, const std::string& version) {
    Record record;
    record.add("serial_number", Windows1252ToUtf8(device.serialNumberText))
        .add("model_code", Windows1252ToUtf8(device.memory.modelCodeText))
        .add("model_name", Windows1252ToUtf8(device.memory.modelNameText))
        .add("version", Windows1252ToUtf8(version));
    return record;
}

void RunIdentify(CommandCall& call) {
    ToolSession tool(call);
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kPressureModule);
    tool.require(device.ReadDeviceStrings(route, kCommunicationModule), "reading the model failed");
    tool.require(device.ReadIdentity(route, kPressureModule), "reading the identity failed");
    const bool p2 = HasP2(tool);
    Record record = IdentityRecord(device, device.versionText);
    record.add("p2_present", p2);
    ReadSensors(tool, p2, record);
    call.output.emit(record);
}

void RunRead(CommandCall& call) {
    const auto count = call.args.value("--count");
    const auto interval = call.args.value("--interval");
    const long long readings = count ? ParseInteger(*count, 1, 1000000000, "--count") : 1;
    const double seconds = interval ? ParseSeconds(*interval, "--interval") : 0.0;

    ToolSession tool(call);
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kPressureModule);
    const ChannelMask channels{.p1 = true, .p2 = HasP2(tool), .channel4 = true};
    tool.require(device.ReadEngineeringUnits(channels, route), "reading the units failed");
    for (long long i = 1; i <= readings; ++i) {
        if (i > 1 && seconds > 0 && call.environment.wait) call.environment.wait(std::chrono::duration<double>(seconds));
        device.ReadMeasurements(channels, route, MinMax::Without, 1, 1);
        tool.require(device.lastExchangeSucceeded, "reading the measurements failed");
        if (device.lastReplyStatus != 0) {
            device.SetStatusText(static_cast<std::uint8_t>(device.lastReplyStatus));
            tool.fail("reading the measurements failed");
        }
        call.output.emit(ReadingRecord(device, channels.p2, static_cast<int>(i)));
    }
}

void RunInfo(CommandCall& call) {
    ToolSession tool(call);
    DeviceSession& device = tool.device();
    const RouteBlock route = tool.route(kPressureModule);
    tool.require(device.ReadIdentity(route, kPressureModule), "reading the identity failed");
    tool.require(device.ReadDeviceStringsXmtr(route, kCommunicationModule, tool.address()), "reading the model failed");
    const bool firmware = device.ReadFirmwareVersion(route);
    tool.require(device.ReadTagAndAsset(route, kPressureModule), "reading the tag and asset failed");
    tool.require(device.ReadDescription(route, kPressureModule), "reading the description failed");
    const bool p2 = HasP2(tool);
    const bool hasFirmwareVersion = firmware && !device.memory.firmwareVersionText.empty();
    Record record = IdentityRecord(device, hasFirmwareVersion ? device.memory.firmwareVersionText : device.versionText);
    record.add("tag", Windows1252ToUtf8(device.tagText))
        .add("asset", Windows1252ToUtf8(device.assetText))
        .add("description", Windows1252ToUtf8(device.descriptionText))
        .add("p2_present", p2);
    ReadSensors(tool, p2, record);
    call.output.emit(record);
}

void AddTextWrite(CommandLine& commandLine, const std::string& name, const std::string& description, IdText which) {
    commandLine.addCommand(commandLine.tool(), name, description, [which](CommandCall& call) { WriteIdText(call, which); })
        .add_option("TEXT", "the text, as the transmitter shows it");
}

}  // namespace

void AddDeviceCommands(CommandLine& commandLine) {
    CLI::App& tool = commandLine.tool();
    commandLine.addCommand(tool, "identify",
                           "Reads the serial number, model code and name, version, and the label, limits and unit\n"
                           "of each pressure input.",
                           RunIdentify);
    CLI::App& read = commandLine.addCommand(
        tool, "read",
        "Reads P1, P2 (when present) and the temperature N times (default once), SECONDS apart\n"
        "(default 0), with the status text of each pressure input and the unit names.",
        RunRead);
    read.add_option("--count", "how many readings (default 1)")->option_text("N");
    read.add_option("--interval", "seconds between two readings (default 0)")->option_text("SECONDS");
    commandLine.addCommand(tool, "info",
                           "Reads the identity, firmware version, tag, asset number, description and sensor limits.",
                           RunInfo);
    AddTextWrite(commandLine, "set-tag", "Stores the tag number (at most 32 characters); the asset number stays.",
                 IdText::Tag);
    AddTextWrite(commandLine, "set-asset", "Stores the asset number (at most 32 characters); the tag stays.",
                 IdText::Asset);
    AddTextWrite(commandLine, "set-description", "Stores the description (at most 128 characters).",
                 IdText::Description);
}

}  // namespace corvel::cli
