#include "tool_window_opener.h"

#include "analog_output.h"
#include "calibration_dialog.h"
#include "config_dlg.h"
#include "data_file_conversion_dialog.h"
#include "xmtr_info.h"

namespace corvel {
namespace {

template <typename Window>
void RunModal(const ToolContext& context, QWidget* parent) {
    Window window(context, parent);
    window.exec();
}

}  // namespace

void ToolWindows::open(ToolWindow tool, QWidget* parent) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: return RunModal<cConfigDlg>(context_, parent);
        case ToolWindow::AnalogOutput: return RunModal<AnalogOutput>(context_, parent);
        case ToolWindow::FieldRecalibration: return RunModal<cCalibration>(context_, parent);
        case ToolWindow::DeviceInfo: return RunModal<XmtrInfo>(context_, parent);
        case ToolWindow::DataLogUtility: return RunModal<cDataFileConversion>(context_, parent);
    }
}

}  // namespace corvel
