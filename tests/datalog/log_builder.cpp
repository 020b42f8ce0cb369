#include "tests/datalog/log_builder.h"

#include <fstream>

namespace corvel::testing {

ModuleSpec PressureModule(std::int32_t interval, std::int32_t samples, std::string p1Units, std::string p2Units) {
    ModuleSpec moduleSpec{.type = kPressureModuleKind, .mode = 0, .channels = {}};
    moduleSpec.channels[0] = {.interval = interval, .samples = samples, .units = std::move(p1Units), .scale = 1.0f, .decimals = 2};
    moduleSpec.channels[1] = {.interval = interval, .samples = samples, .units = std::move(p2Units), .scale = 1.0f, .decimals = 2};
    return moduleSpec;
}

ModuleSpec VoltageCurrentModule(std::int32_t interval, std::int32_t samples, std::string temperatureUnits) {
    ModuleSpec moduleSpec{.type = kVoltageCurrentModuleKind, .mode = 0, .channels = {}};
    moduleSpec.channels[0] = {.interval = interval, .samples = samples, .units = "V", .scale = 1.0f, .decimals = 3};
    moduleSpec.channels[1] = {.interval = interval, .samples = samples, .units = "mA", .scale = 1.0f, .decimals = 3};
    moduleSpec.channels[3] = {.interval = interval, .samples = samples, .units = std::move(temperatureUnits), .scale = 1.0f,
                        .decimals = 1};
    return moduleSpec;
}

LogBuilder::LogBuilder() { start(2024, 3, 15, 10, 0, 0); }

LogBuilder& LogBuilder::start(std::uint16_t year, std::uint8_t first, std::uint8_t second, std::uint8_t hour,
                              std::uint8_t minute, std::uint8_t secondOfMinute) {
    PutU16(header_, 2, year);
    PutU8(header_, 4, first);
    PutU8(header_, 5, second);
    PutU8(header_, 7, hour);
    PutU8(header_, 8, minute);
    PutU8(header_, 9, secondOfMinute);
    return *this;
}

LogBuilder& LogBuilder::name(const std::string& logName) {
    PutText(header_, 12, 32, logName);
    return *this;
}

LogBuilder& LogBuilder::serial(const std::string& serialNumber) {
    PutText(header_, 44, 16, serialNumber);
    return *this;
}

LogBuilder& LogBuilder::module(const ModuleSpec& moduleSpec) {
    modules_.push_back(moduleSpec);
    return *this;
}

LogBuilder& LogBuilder::moduleCount(std::uint8_t count) {
    moduleCount_ = count;
    return *this;
}

LogBuilder& LogBuilder::value(std::uint8_t tag, std::uint8_t channel, std::int32_t timeStamp, float raw,
                              std::uint8_t status) {
    std::array<std::uint8_t, kSampleRecordSize> record{};
    PutU8(record, 0, tag);
    PutU8(record, 1, channel);
    PutU8(record, 3, status);
    PutU32(record, 4, static_cast<std::uint32_t>(timeStamp));
    PutF32(record, 8, raw);
    records_.insert(records_.end(), record.begin(), record.end());
    return *this;
}

LogBuilder& LogBuilder::marker(std::uint8_t tag, std::int32_t timeStamp, std::uint8_t channel) {
    return value(tag, channel, timeStamp, 0.0f);
}

LogBuilder& LogBuilder::instant(std::int32_t timeStamp, std::array<float, 5> raw) {
    return value(kFirstModuleTag, 1, timeStamp, raw[0])
        .value(kFirstModuleTag, 2, timeStamp, raw[1])
        .value(kSecondModuleTag, 1, timeStamp, raw[2])
        .value(kSecondModuleTag, 2, timeStamp, raw[3])
        .value(kSecondModuleTag, 4, timeStamp, raw[4]);
}

LogBuilder& LogBuilder::padding(std::size_t count) {
    records_.insert(records_.end(), count, 0);
    return *this;
}

std::vector<std::uint8_t> LogBuilder::bytes() const {
    std::array<std::uint8_t, kLogFileHeaderSize> header = header_;
    PutU8(header, 10, moduleCount_.value_or(static_cast<std::uint8_t>(modules_.size())));
    std::vector<std::uint8_t> file(header.begin(), header.end());
    for (const ModuleSpec& moduleSpec : modules_) {
        std::array<std::uint8_t, kModuleHeaderSize> module{};
        PutU8(module, 14, moduleSpec.type);
        PutU8(module, 15, moduleSpec.mode);
        for (std::size_t i = 0; i < moduleSpec.channels.size(); ++i) {
            const ChannelSpec& channel = moduleSpec.channels[i];
            const MutableByteSpan info = MutableByteSpan(module).subspan(16 + i * kChannelInfoSize, kChannelInfoSize);
            PutU32(info, 0, static_cast<std::uint32_t>(channel.interval));
            PutU32(info, 4, static_cast<std::uint32_t>(channel.samples));
            PutText(info, 8, 8, channel.units);
            PutF32(info, 16, channel.scale);
            PutU8(info, 21, static_cast<std::uint8_t>(channel.decimals));
        }
        file.insert(file.end(), module.begin(), module.end());
    }
    file.insert(file.end(), records_.begin(), records_.end());
    return file;
}

void LogBuilder::writeTo(const std::filesystem::path& path) const { WriteBytes(path, bytes()); }

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

LogBuilder TwoModuleLog(std::int32_t interval, std::int32_t samples) {
    LogBuilder log;
    log.name("Tank 3").serial("SN4400-17").module(PressureModule(interval, samples)).module(
        VoltageCurrentModule(interval, samples));
    return log;
}

}  // namespace corvel::testing
