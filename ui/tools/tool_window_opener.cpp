#include "tool_window_opener.h"

#include "config_dlg.h"
#include "data_file_conversion_dialog.h"
#include "placeholder_tool_dialog.h"

namespace corvel {

void ToolWindows::open(ToolWindow tool, QWidget* parent) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: {
            cConfigDlg dialog(context_, parent);
            dialog.exec();
            return;
        }
        case ToolWindow::AnalogOutput:
        case ToolWindow::FieldRecalibration:
        case ToolWindow::DeviceInfo: {
            PlaceholderToolDialog dialog(tool, parent);
            dialog.exec();
            return;
        }
        case ToolWindow::DataLogUtility: {
            cDataFileConversion dialog(context_, parent);
            dialog.exec();
            return;
        }
    }
}

}  // namespace corvel
