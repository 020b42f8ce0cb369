#pragma once
// The tool windows that the main window opens, one at a time and modally,
// through an opener that the program and the tests provide. The entries of
// the Transmitter menu open the Transmitter Configuration window, each
// starting its own action there.

class QWidget;

namespace corvel {

enum class ToolWindow {
    MeasurementConfiguration,
    AnalogOutput,
    FieldRecalibration,
    DeviceInfo,
    DataLogUtility,
    SaveConfiguration,
    CompareWithFile,
    RestoreFromFile,
    CommissioningReport,
};

// The tool window's title, which is also its button's caption; for a
// Transmitter menu entry, the entry's text.
const char* ToolWindowTitle(ToolWindow tool);

class ToolWindowOpener {
public:
    virtual ~ToolWindowOpener() = default;
    // Runs the tool window modally over `parent` and returns when it closes.
    virtual void open(ToolWindow tool, QWidget* parent) = 0;
};

}  // namespace corvel
