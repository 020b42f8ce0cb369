#pragma once
// The tool windows that the main window opens, one at a time and modally,
// through an opener that the program and the tests provide.

class QWidget;

namespace corvel {

enum class ToolWindow { MeasurementConfiguration, AnalogOutput, FieldRecalibration, DeviceInfo, DataLogUtility };

// The tool window's title, which is also its button's caption.
const char* ToolWindowTitle(ToolWindow tool);

class ToolWindowOpener {
public:
    virtual ~ToolWindowOpener() = default;
    // Runs the tool window modally over `parent` and returns when it closes.
    virtual void open(ToolWindow tool, QWidget* parent) = 0;
};

}  // namespace corvel
