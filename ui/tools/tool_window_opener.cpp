#include "tool_window_opener.h"

#include "analog_output.h"
#include "config_dlg.h"
#include "placeholder_tool_dialog.h"

namespace corvel {

void ToolWindows::open(ToolWindow tool, QWidget* parent) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: {
            cConfigDlg dialog(context_, parent);
            dialog.exec();
            return;
        }
        case ToolWindow::AnalogOutput: {
            AnalogOutput dialog(context_, parent);
            dialog.exec();
            return;
        }
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
