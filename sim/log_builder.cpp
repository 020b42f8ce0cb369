#include "sim/log_builder.h"

#include "common/bytes.h"

namespace corvel::sim {
namespace {

constexpr std::size_t kChannelInfoSize = 24;
constexpr std::uint8_t kFirstModuleTag = 0x40;
constexpr std::uint8_t kMarkerChannel = 5;

using Bytes = std::vector<std::uint8_t>;

// The sampling instant `sample` falls on a multiple of the channel's interval,
// counted in the shortest interval of the file.
bool LoggedAt(const LogChannelDescription& channel, std::int32_t baseInterval, std::uint32_t sample) {
    if (channel.intervalHundredths <= 0 || baseInterval <= 0) return false;
    const std::int64_t every = channel.intervalHundredths / baseInterval;
    return every <= 1 || sample % every == 0;
}

std::int32_t BaseInterval(const LogDescription& d) {
    std::int32_t base = 0;
    for (const auto& module : d.modules)
        for (const auto& channel : module.channels)
            if (channel.intervalHundredths > 0 && (base == 0 || channel.intervalHundredths < base))
                base = channel.intervalHundredths;
    return base;
}

std::int32_t SamplesOf(const LogChannelDescription& channel, std::int32_t base, std::uint32_t samples) {
    std::int32_t count = 0;
    for (std::uint32_t s = 0; s < samples; ++s) count += LoggedAt(channel, base, s) ? 1 : 0;
    return count;
}

void PutFileHeader(Bytes& out, const LogDescription& d) {
    MutableByteSpan header(out.data(), kLogFileHeaderSize);
    PutU16(header, 2, d.year);
    PutU8(header, 4, d.dateFirst);
    PutU8(header, 5, d.dateSecond);
    PutU8(header, 7, d.hour);
    PutU8(header, 8, d.minute);
    PutU8(header, 9, d.second);
    PutU8(header, 10, static_cast<std::uint8_t>(d.modules.size()));
    PutText(header, 12, 31, d.logName);
    PutText(header, 44, 15, d.serialNumber);
}

void PutModuleHeader(MutableByteSpan header, const LogModuleDescription& module, std::int32_t base,
                     std::uint32_t samples) {
    PutU8(header, 14, module.type);
    PutU8(header, 15, module.mode);
    for (std::size_t c = 0; c < module.channels.size(); ++c) {
        const LogChannelDescription& channel = module.channels[c];
        const std::size_t at = 16 + c * kChannelInfoSize;
        PutU32(header, at, static_cast<std::uint32_t>(channel.intervalHundredths));
        PutU32(header, at + 4, static_cast<std::uint32_t>(SamplesOf(channel, base, samples)));
        PutText(header, at + 8, 7, channel.units);
        PutF32(header, at + 16, channel.scale);
        PutU8(header, at + 21, static_cast<std::uint8_t>(channel.decimals));
    }
}

void AppendRecord(Bytes& out, std::uint8_t tag, std::uint8_t channel, std::uint8_t status, std::int32_t time,
                  float raw) {
    const std::size_t at = out.size();
    out.resize(at + kLogSampleRecordSize, 0);
    MutableByteSpan record(out.data() + at, kLogSampleRecordSize);
    PutU8(record, 0, tag);
    PutU8(record, 1, channel);
    PutU8(record, 3, status);
    PutU32(record, 4, static_cast<std::uint32_t>(time));
    PutF32(record, 8, raw);
}

std::uint8_t StatusAt(const LogDescription& d, std::uint32_t sample, std::size_t module, std::size_t channel) {
    for (const LogStatus& s : d.statuses)
        if (s.sample == sample && s.module == module && s.channel == channel) return s.status;
    return 0;
}

std::int32_t GapAfter(const LogDescription& d, std::uint32_t sample) {
    std::int32_t total = 0;
    for (const LogGap& gap : d.gaps)
        if (gap.afterSample == sample) total += gap.durationHundredths;
    return total;
}

void AppendInstant(Bytes& out, const LogDescription& d, std::int32_t base, std::uint32_t sample, std::int32_t time) {
    for (std::size_t m = 0; m < d.modules.size(); ++m) {
        const auto tag = static_cast<std::uint8_t>(kFirstModuleTag + m);
        for (std::size_t c = 0; c < 4; ++c) {
            const LogChannelDescription& channel = d.modules[m].channels[c];
            if (!LoggedAt(channel, base, sample)) continue;
            const float value = channel.start + channel.step * static_cast<float>(sample);
            const float raw = channel.scale != 0.0f ? value / channel.scale : value;
            AppendRecord(out, tag, static_cast<std::uint8_t>(c + 1), StatusAt(d, sample, m, c + 1), time, raw);
        }
    }
}

}  // namespace

std::vector<std::uint8_t> BuildLogFile(const LogDescription& d) {
    const std::int32_t base = BaseInterval(d);
    Bytes out(kLogFileHeaderSize + d.modules.size() * kLogModuleHeaderSize, 0);
    PutFileHeader(out, d);
    for (std::size_t m = 0; m < d.modules.size(); ++m)
        PutModuleHeader(MutableByteSpan(out.data() + kLogFileHeaderSize + m * kLogModuleHeaderSize,
                                        kLogModuleHeaderSize),
                        d.modules[m], base, d.samples);
    std::int32_t time = 0;
    for (std::uint32_t sample = 0; sample < d.samples; ++sample) {
        AppendInstant(out, d, base, sample, time);
        time += base;
        if (const std::int32_t gap = GapAfter(d, sample); gap != 0 && !d.modules.empty()) {
            time += gap;
            AppendRecord(out, kFirstModuleTag, kMarkerChannel, 0, time, 0.0f);
        }
    }
    return out;
}

LogDescription PressureLogDescription(std::string fileName, std::uint32_t samples, std::int32_t intervalHundredths) {
    LogDescription d;
    d.fileName = std::move(fileName);
    d.samples = samples;
    LogModuleDescription pressure;
    pressure.channels[0] = {intervalHundredths, "PSI", 1.0f, 3, 14.7f, 0.01f};
    pressure.channels[1] = {intervalHundredths, "PSI", 1.0f, 3, 100.0f, -0.02f};
    d.modules.push_back(pressure);
    return d;
}

}  // namespace corvel::sim
