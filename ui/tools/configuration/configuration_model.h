#pragma once
// The Transmitter Configuration window without its widgets: reads the
// transmitter's configuration when it opens and shows it setting by setting;
// saves it to a file, compares it with a file (differences marked, and a
// filter for them), restores a file (the plan first, then the operator's
// Yes, the writes with their progress, and the settings as they read back)
// and writes the commissioning report with as-found readings.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/configuration_compare.h"
#include "config/configuration_reader.h"
#include "config/configuration_restore.h"
#include "link/device_session.h"
#include "report/commissioning_report.h"
#include "ui/support/prompter_notifier.h"
#include "ui/support/window_host.h"
#include "ui/tools/tool_context.h"

namespace corvel {

inline constexpr const char* kConfigurationWindowTitle = "Transmitter Configuration";
inline constexpr const char* kConfigurationFileFilter = "Configuration Files (*.json)|*.json|All Files (*.*)|*.*||";
inline constexpr const char* kReportFileFilter = "PDF Files (*.pdf)|*.pdf||";

// What the table shows.
enum class ConfigurationTable {
    Transmitter,  // the transmitter's settings only
    Comparison,   // transmitter and file, differences marked
    Plan,         // the settings a restore will write: present value and file value
    Verified,     // after a restore: the value read back and the planned value, a mismatch marked
};

struct ConfigurationWindowState {
    ConfigurationTable table = ConfigurationTable::Transmitter;
    std::vector<ComparisonRow> rows;
    bool onlyDifferences = false;  // the filter of a comparison
    std::string secondCaption = "Transmitter";
    std::string thirdCaption;  // empty: the third column is hidden
    std::string summary;       // the line above the table
    bool transmitterRead = false;  // the actions need a configuration that was read
    bool busy = false;             // a restore or the readings of a report are running
    bool cancellable = false;      // the operator may cancel what is running (the readings; a restore runs to its end)
};

// The rows the table shows: a comparison under the filter, any other table whole.
std::vector<ComparisonRow> ShownRows(const ConfigurationWindowState& state);

// What the technician gives for a commissioning report.
struct ReportDetails {
    std::string technician;
    std::string note;
    int readings = kDefaultReadingCount;
};

// Writes a report document to a file (write beside, then rename); empty on
// success, else the reason. The window hands in the PDF writer.
using ReportFileWriter = std::function<std::string(const std::string& path, const ReportDocument& document)>;

class ConfigurationModel {
public:
    ConfigurationModel(const ToolContext& context, WindowHost& host, ReportFileWriter reportWriter);

    const ConfigurationWindowState& state() const { return state_; }

    // Reads the transmitter and shows its settings; false after the error box.
    bool open();
    void setOnlyDifferences(bool only);
    // Each asks for its file; Cancel does nothing. True when the action completed.
    bool save();
    bool compare();
    bool restore();
    bool writeReport(const ReportDetails& details);

private:
    bool readTransmitter();
    void showTransmitter();
    std::optional<TransmitterConfiguration> loadChosenFile(const char* title);
    std::optional<RestorePlan> planFor(const TransmitterConfiguration& file);
    bool confirmPlan(const RestorePlan& plan);
    void apply(const RestorePlan& plan);
    void showVerified(const RestoreResult& result);
    ReportInputs reportInputs(const ReportDetails& details);
    void showTable(ConfigurationTable table, std::vector<ComparisonRow> rows, std::string summary);

    ToolContext context_;
    WindowHost& host_;
    ReportFileWriter reportWriter_;
    PrompterNotifier notifier_;
    DeviceSession session_;
    TransmitterRoutes routes_;
    std::optional<TransmitterReading> reading_;
    ConfigurationWindowState state_;
};

}  // namespace corvel
