#pragma once
// The program's ToolWindowOpener: runs the real tool window of each button
// modally over the main window. Every tool window's exchanges go to the bus
// monitor, and its shortcut opens the monitor, when there is one.

#include "ui/support/bus_monitor_opener.h"
#include "ui/tools/tool_context.h"

namespace corvel {

class ToolWindows final : public ToolWindowOpener {
public:
    ToolWindows(CommSettings& comm, StoredSettings& store, SerialPortFactory& ports, SharedDeviceValues& shared,
                Prompter& prompter, FileChooser& files)
        : context_{comm, store, ports, shared, prompter, files, *this} {}

    // The bus monitor that sees the tool windows' exchanges and opens over them.
    void setBusMonitor(ExchangeObserver* exchanges, BusMonitorOpener* opener) {
        context_.exchanges = exchanges;
        monitor_ = opener;
    }

    void open(ToolWindow tool, QWidget* parent) override;

private:
    ToolContext context_;
    BusMonitorOpener* monitor_ = nullptr;
};

}  // namespace corvel
