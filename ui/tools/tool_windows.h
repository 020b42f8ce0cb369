#pragma once
// The program's ToolWindowOpener: runs the real tool window of each button
// modally over the main window.

#include "ui/tools/tool_context.h"

namespace corvel {

class ToolWindows final : public ToolWindowOpener {
public:
    ToolWindows(CommSettings& comm, StoredSettings& store, SerialPortFactory& ports, SharedDeviceValues& shared,
                Prompter& prompter, FileChooser& files)
        : context_{comm, store, ports, shared, prompter, files, *this} {}

    void open(ToolWindow tool, QWidget* parent) override;

private:
    ToolContext context_;
};

}  // namespace corvel
