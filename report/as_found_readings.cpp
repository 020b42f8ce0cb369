#include "report/as_found_readings.h"

#include <algorithm>

#include "common/number_format.h"
#include "link/reading_status.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string ValueText(double value, int decimals) { return Trimmed(FormatFixed(value, 0, decimals)); }

InputHeading HeadingOf(const ChannelState& channel) {
    return {Windows1252ToUtf8(Trimmed(channel.unitName)), channel.precisionDigits < 0 ? 6 : channel.precisionDigits};
}

InputReading Unanswered(const std::string& statusText) {
    return {std::nullopt, kDashedValue, statusText.empty() ? "No reply" : Windows1252ToUtf8(statusText)};
}

}  // namespace

InputReading InputReadingOf(const ChannelState& channel, bool p1) {
    const ReadingStatus status = ReadingStatusOf(channel.statusCode, p1);
    const std::string text = status.text.value_or("Status " + std::to_string(channel.statusCode));
    if (status.dashChannelValue) return {std::nullopt, kDashedValue, text};
    return {channel.value, Trimmed(channel.displayText), text};
}

InputSummary SummaryOf(const AsFoundReadings& readings, bool p1) {
    const InputHeading* heading = p1 ? &readings.p1 : (readings.p2 ? &*readings.p2 : nullptr);
    std::vector<double> values;
    for (const AsFoundReading& reading : readings.readings) {
        const InputReading* input = p1 ? &reading.p1 : (reading.p2 ? &*reading.p2 : nullptr);
        if (input && input->value) values.push_back(*input->value);
    }
    if (!heading || values.empty()) return {kDashedValue, kDashedValue, kDashedValue};
    double sum = 0.0;
    for (const double value : values) sum += value;
    const auto [minimum, maximum] = std::minmax_element(values.begin(), values.end());
    const int decimals = heading->decimals;
    return {ValueText(*minimum, decimals), ValueText(*maximum, decimals),
            ValueText(sum / static_cast<double>(values.size()), decimals)};
}

AsFoundReadings TakeAsFoundReadings(DeviceSession& session, const RouteBlock& route, bool p2, int count,
                                    const std::function<bool(int taken)>& between) {
    const ChannelMask channels{.p1 = true, .p2 = p2, .channel4 = true};
    AsFoundReadings result;
    const auto takeHeadings = [&] {
        result.p1 = HeadingOf(session.p1);
        if (p2) result.p2 = HeadingOf(session.p2);
    };
    if (session.ReadEngineeringUnits(channels, route)) takeHeadings();
    for (int taken = 0; taken < count; ++taken) {
        if (taken > 0 && between && !between(taken)) break;
        session.ReadMeasurements(channels, route, MinMax::Without, 1, 1);
        AsFoundReading reading;
        if (session.lastExchangeSucceeded && session.lastReplyStatus == 0) {
            reading.p1 = InputReadingOf(session.p1, true);
            if (p2) reading.p2 = InputReadingOf(session.p2, false);
            takeHeadings();
        } else {
            if (session.lastExchangeSucceeded) session.SetStatusText(static_cast<std::uint8_t>(session.lastReplyStatus));
            reading.p1 = Unanswered(session.statusText);
            if (p2) reading.p2 = Unanswered(session.statusText);
        }
        result.readings.push_back(std::move(reading));
    }
    return result;
}

}  // namespace corvel
