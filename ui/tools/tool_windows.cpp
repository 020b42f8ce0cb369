#include "ui/tools/tool_windows.h"

#include "ui/tools/analog_output/analog_output_view.h"
#include "ui/tools/calibration/calibration_view.h"
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

}  // namespace

void ToolWindows::open(ToolWindow tool, QWidget* parent) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: return RunModal<cConfigDlg>(context_, monitor_, parent);
        case ToolWindow::AnalogOutput: return RunModal<AnalogOutput>(context_, monitor_, parent);
        case ToolWindow::FieldRecalibration: return RunModal<cCalibration>(context_, monitor_, parent);
        case ToolWindow::DeviceInfo: return RunModal<XmtrInfo>(context_, monitor_, parent);
        case ToolWindow::DataLogUtility: return RunModal<cDataFileConversion>(context_, monitor_, parent);
    }
}

}  // namespace corvel
