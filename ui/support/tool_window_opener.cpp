#include "ui/support/tool_window_opener.h"

namespace corvel {

const char* ToolWindowTitle(ToolWindow tool) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: return "Measurement/Configuration";
        case ToolWindow::AnalogOutput: return "Analog Output";
        case ToolWindow::FieldRecalibration: return "Field Recalibration";
        case ToolWindow::DeviceInfo: return "Device Info";
        case ToolWindow::DataLogUtility: return "Data Log Utility";
    }
    return "";
}

}  // namespace corvel
