#include "ui/tools/tool_windows.h"

#include "ui/tools/analog_output/analog_output_view.h"
#include "ui/tools/calibration/calibration_view.h"
#include "ui/tools/configuration/configuration_view.h"
#include "ui/tools/measurement/measurement_view.h"
#include "ui/tools/data_log/data_log_view.h"
#include "ui/tools/transmitter_info/transmitter_info_view.h"

namespace corvel {
namespace {

template <typename Window>
void RunModal(const ToolContext& context, BusMonitorOpener* monitor, QWidget* parent) {
    Window window(context, parent);
    const BusMonitorShortcutOn shortcut(monitor, window);
    window.exec();
}

// The Transmitter Configuration window, shown before the entry's action
// starts; not at all when the transmitter's configuration could not be read.
void RunConfiguration(const ToolContext& context, BusMonitorOpener* monitor, ToolWindow entry, QWidget* parent) {
    ConfigurationWindow window(context, parent);
    if (!window.model().state().transmitterRead) return;
    const BusMonitorShortcutOn shortcut(monitor, window);
    window.show();
    window.start(entry);
    window.exec();
}

}  // namespace

void ToolWindows::open(ToolWindow tool, QWidget* parent) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: return RunModal<cConfigDlg>(context_, monitor_, parent);
        case ToolWindow::AnalogOutput: return RunModal<AnalogOutput>(context_, monitor_, parent);
        case ToolWindow::FieldRecalibration: return RunModal<cCalibration>(context_, monitor_, parent);
        case ToolWindow::DeviceInfo: return RunModal<XmtrInfo>(context_, monitor_, parent);
        case ToolWindow::DataLogUtility: return RunModal<cDataFileConversion>(context_, monitor_, parent);
        case ToolWindow::SaveConfiguration:
        case ToolWindow::CompareWithFile:
        case ToolWindow::RestoreFromFile:
        case ToolWindow::CommissioningReport: return RunConfiguration(context_, monitor_, tool, parent);
    }
}

}  // namespace corvel
