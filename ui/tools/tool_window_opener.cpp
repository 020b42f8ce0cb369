#include "tool_window_opener.h"

#include "placeholder_tool_dialog.h"

namespace corvel {

void ToolWindows::open(ToolWindow tool, QWidget* parent) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration:
        case ToolWindow::AnalogOutput:
        case ToolWindow::FieldRecalibration:
        case ToolWindow::DeviceInfo:
        case ToolWindow::DataLogUtility: {
            PlaceholderToolDialog dialog(tool, parent);
            dialog.exec();
            return;
        }
    }
}

}  // namespace corvel
