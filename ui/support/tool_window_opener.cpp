#include "ui/support/tool_window_opener.h"

namespace corvel {

const char* ToolWindowTitle(ToolWindow tool) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: return "Measurement/Configuration";
        case ToolWindow::AnalogOutput: return "Analog Output";
        case ToolWindow::FieldRecalibration: return "Field Recalibration";
        case ToolWindow::DeviceInfo: return "Device Info";
        case ToolWindow::DataLogUtility: return "Data Log Utility";
        case ToolWindow::SaveConfiguration: return "Save configuration...";
        case ToolWindow::CompareWithFile: return "Compare with file...";
        case ToolWindow::RestoreFromFile: return "Restore from file...";
        case ToolWindow::CommissioningReport: return "Commissioning report...";
    }
    return "";
}

}  // namespace corvel
