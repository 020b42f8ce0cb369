// Applying a restore plan: the writes in order, each reported before it is
// sent; the first that fails ends the restore. Afterwards the transmitter is
// read again and every planned setting checked against what it reads now.

#include <algorithm>
#include <bit>
#include <charconv>

#include "config/configuration_restore.h"
#include "config/configuration_settings.h"
#include "link/device_addresses.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

// A damping time as the text the damping write takes: the shortest decimal
// that gives back the same number (C locale).
std::string DampingText(float seconds) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, seconds).ptr);
}

class RestoreRunner {
public:
    RestoreRunner(DeviceSession& session, const TransmitterRoutes& routes, const RestorePlan& plan)
        : s_(session), routes_(routes), target_(plan.target) {}

    bool send(const RestoreWrite& write) {
        switch (write.kind) {
        case RestoreWriteKind::Units: return writeUnits();
        case RestoreWriteKind::DampingEnabled: return writeDampingEnabled(write.input);
        case RestoreWriteKind::DampingTime: return writeDampingTime(write.input);
        case RestoreWriteKind::DampingMode: return writeDampingMode(write.input);
        case RestoreWriteKind::AnalogOutput: return writeMemory(write.memory);
        case RestoreWriteKind::AnalogOutputClose: return s_.SendEmptyCommandFlag40();
        case RestoreWriteKind::Description: return writeDescription();
        case RestoreWriteKind::TagAndAsset: return writeTagAndAsset();
        }
        return false;
    }

private:
    const PressureInputSettings& input(PressureInput which) const {
        return which == PressureInput::P1 ? target_.p1 : *target_.p2;
    }

    bool writeUnits() {
        s_.p1.unitCode = target_.p1.unitCode;
        if (target_.p2) s_.p2.unitCode = target_.p2->unitCode;
        s_.temperature.unitCode = target_.temperatureUnit;
        const ChannelMask channels{.p1 = true, .p2 = target_.p2.has_value(), .channel4 = true};
        return s_.WriteEngineeringUnits(channels, routes_.pressure) && s_.lastReplyStatus == 0;
    }

    // As the Configuration window: the flag, then the empty command.
    bool writeDampingEnabled(PressureInput which) {
        const std::uint8_t flag = input(which).dampingOn ? 1 : 0;
        const bool written = which == PressureInput::P1 ? s_.WriteDampingEnabledP1(routes_.pressure, flag)
                                                        : s_.WriteDampingEnabledP2(routes_.pressure, flag);
        if (written) s_.SendEmptyCommand(routes_.pressure);
        return written;
    }

    bool writeDampingTime(PressureInput which) {
        bool written = false;
        if (which == PressureInput::P1) {
            s_.memory.dampingTextP1 = DampingText(target_.p1.dampingTime);
            written = s_.WriteDampingTimeP1(routes_.pressure);
        } else {
            s_.memory.dampingTextP2 = DampingText(target_.p2->dampingTime);
            written = s_.WriteDampingTimeP2(routes_.pressure);
        }
        if (written) s_.SendEmptyCommand(routes_.pressure);
        return written;
    }

    bool writeDampingMode(PressureInput which) {
        const std::uint32_t at = which == PressureInput::P1 ? address::kDampingModeP1 : address::kDampingModeP2;
        return s_.WriteMemoryByteAt(routes_.pressure, at, input(which).dampingMode);
    }

    bool writeMemory(const MemoryWrite& w) {
        const RouteBlock& route = w.module == Module::Output ? routes_.output : routes_.pressure;
        if (w.isByte) return s_.WriteMemoryByteAt(route, w.address, w.byte);
        return s_.WriteMemoryDword(route, w.address, std::bit_cast<std::uint32_t>(w.value));
    }

    bool writeDescription() {
        const std::optional<std::string> bytes = Utf8ToWindows1252(target_.description);
        return bytes && s_.WriteDescription(routes_.pressure, routes_.recordModule, *bytes);
    }

    bool writeTagAndAsset() {
        const std::optional<std::string> tag = Utf8ToWindows1252(target_.tag);
        const std::optional<std::string> asset = Utf8ToWindows1252(target_.asset);
        return tag && asset && s_.WriteTagAndAsset(routes_.pressure, routes_.recordModule, *tag, *asset);
    }

    DeviceSession& s_;
    const TransmitterRoutes& routes_;
    const TransmitterConfiguration& target_;
};

void AddSettings(std::vector<std::string>& to, const RestoreWrite& write) {
    for (const std::string& setting : write.settings)
        if (std::find(to.begin(), to.end(), setting) == to.end()) to.push_back(setting);
}

std::string Joined(const std::vector<std::string>& settings) {
    std::string text;
    for (const std::string& setting : settings) text += (text.empty() ? "" : ", ") + setting;
    return text.empty() ? std::string("the analog output settings") : text;
}

// Each planned setting as the transmitter reads now against the plan.
void Verify(DeviceSession& session, const TransmitterRoutes& routes, const RestorePlan& plan, RestoreResult& result) {
    const ReadOutcome after = ReadConfiguration(session, routes, plan.target.readTime);
    if (!after.reading) {
        result.error = "the settings could not be read back: " + after.error;
        return;
    }
    for (const ComparisonRow& row : CompareConfigurations(after.reading->configuration, plan.target)) {
        if (std::find(result.written.begin(), result.written.end(), row.setting) == result.written.end()) continue;
        result.verified.push_back(row);
        // An alarm value is verified as the transmitter keeps it: in percent of span.
        if (const auto planned = StoredAlarmValue(plan.storedAlarms, row.setting))
            result.verified.back().differs =
                !SamePercent(*StoredAlarmValue(after.reading->storedAlarms, row.setting), *planned);
        // A verified unit shows with the transmitter's name for it.
        if (!row.differs) result.verified.back().fileText = row.transmitterText;
    }
    result.succeeded = std::none_of(result.verified.begin(), result.verified.end(),
                                    [](const ComparisonRow& row) { return row.differs; });
    if (!result.succeeded) result.error = "some settings did not read back as written";
}

}  // namespace

RestoreResult ApplyRestore(DeviceSession& session, const TransmitterRoutes& routes, const RestorePlan& plan,
                           const RestoreProgressCallback& progress) {
    RestoreResult result;
    if (plan.refusal) {
        result.error = *plan.refusal;
        return result;
    }
    RestoreRunner runner(session, routes, plan);
    for (std::size_t i = 0; i < plan.writes.size(); ++i) {
        const RestoreWrite& write = plan.writes[i];
        if (progress) progress(RestoreProgress{i, plan.writes.size(), write.settings});
        session.statusText.clear();
        if (!runner.send(write)) {
            result.error = "writing " + Joined(write.settings) + " failed";
            if (!session.statusText.empty()) result.error += ": " + session.statusText;
            for (std::size_t j = i; j < plan.writes.size(); ++j) AddSettings(result.notWritten, plan.writes[j]);
            // A setting kept in two places counts as written only when both writes went through.
            std::erase_if(result.written, [&](const std::string& s) {
                return std::find(result.notWritten.begin(), result.notWritten.end(), s) != result.notWritten.end();
            });
            return result;
        }
        AddSettings(result.written, write);
    }
    if (progress) progress(RestoreProgress{plan.writes.size(), plan.writes.size(), {}});
    Verify(session, routes, plan, result);
    return result;
}

}  // namespace corvel
