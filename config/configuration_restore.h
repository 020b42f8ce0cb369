#pragma once
// Restoring a configuration file onto a transmitter: a plan first (is the
// file fit for this transmitter, do its values pass the analog output rules,
// which settings differ and in which writes they go), then the writes, each
// setting read back and verified afterwards.
//
// The writes keep the orders the tool windows use: units as one units write,
// damping as the Configuration window writes it (flag, then time, each
// followed by the empty command; then the mode byte), the analog output as
// Save Values writes it (closed by the empty command with flag 0x40), and the
// description, tag and asset number as the Transmitter Information window's
// Save writes them. Only the settings that differ are written.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/analog_output_rules.h"
#include "config/configuration_compare.h"
#include "config/configuration_reader.h"
#include "config/transmitter_configuration.h"

namespace corvel {

struct RestoreOptions {
    // A file from another model family is refused unless this is set; then
    // only the settings that both models have are restored.
    bool acrossModelFamilies = false;
};

enum class RestoreWriteKind {
    Units,           // P1, P2 and temperature unit codes in one write
    DampingEnabled,  // then the empty command
    DampingTime,     // then the empty command
    DampingMode,
    AnalogOutput,       // one memory write of Save Values
    AnalogOutputClose,  // the empty command with flag 0x40 after the analog output writes
    Description,
    TagAndAsset,
};

// One request to the transmitter and the settings it carries.
struct RestoreWrite {
    RestoreWriteKind kind = RestoreWriteKind::Units;
    std::vector<std::string> settings;        // as in the comparison rows; empty for AnalogOutputClose
    PressureInput input = PressureInput::P1;  // damping writes
    MemoryWrite memory;                       // AnalogOutput
    bool operator==(const RestoreWrite&) const = default;
};

struct RestorePlan {
    // Set when the file cannot be restored onto this transmitter; nothing is
    // then written. The text is the reason (an analog output rule's own text).
    std::optional<std::string> refusal;
    // The settings that differ and will be written, in write order.
    std::vector<ComparisonRow> changes;
    // Settings that differ but are never written: the output type (fixed by
    // the transmitter's hardware) and those the other model family lacks.
    std::vector<std::string> notRestored;
    // Notes the analog output rules raised without refusing.
    std::vector<std::string> warnings;
    std::vector<RestoreWrite> writes;
    // The transmitter's configuration as it should read after the restore.
    TransmitterConfiguration target;
    // The alarms' values as they are to be kept, in percent of the target span.
    StoredAlarms storedAlarms{};
};

// Alarm values kept in percent of span are the same when they differ by no
// more than a millionth of the span: what single precision keeps of a
// percentage that went through a pressure and back.
inline constexpr float kPercentTolerance = 1e-4f;
bool SamePercent(float a, float b);
// The stored value an alarm value setting names (value 1, value 2, deadband);
// nothing for any other setting.
std::optional<float> StoredAlarmValue(const StoredAlarms& alarms, const std::string& setting);

RestorePlan PlanRestore(const TransmitterReading& transmitter, const TransmitterConfiguration& file,
                        const RestoreOptions& options = {});

struct RestoreProgress {
    std::size_t done = 0;  // writes finished
    std::size_t total = 0;
    std::vector<std::string> settings;  // of the write about to be sent
};
using RestoreProgressCallback = std::function<void(const RestoreProgress&)>;

struct RestoreResult {
    bool succeeded = false;               // every write went through and every setting read back as planned
    std::vector<std::string> written;     // settings whose write went through
    std::vector<std::string> notWritten;  // settings not written: the failed write and those after it
    // After the writes: each planned setting as it reads back now.
    std::vector<ComparisonRow> verified;  // fileText = planned value; differs = did not read back
    std::string error;                    // why it stopped, with the link's status text
};

RestoreResult ApplyRestore(DeviceSession& session, const TransmitterRoutes& routes, const RestorePlan& plan,
                           const RestoreProgressCallback& progress = {});

}  // namespace corvel
