#pragma once
// Everything a window is given at start-up: the process-wide settings, the
// store, the serial ports, and the operator-facing services. The program
// fills it with the real implementations; tests hand in fakes and the
// simulator.

#include "app/comm_settings.h"
#include "ui/main/connect_dialogs.h"
#include "ui/support/file_chooser.h"
#include "ui/support/launcher.h"
#include "ui/support/prompter.h"
#include "link/exchange_record.h"
#include "link/serial_port.h"
#include "ui/support/bus_monitor_opener.h"
#include "link/shared_device_values.h"
#include "app/stored_settings.h"
#include "ui/support/tool_window_opener.h"

namespace corvel {

struct UiContext {
    CommSettings& comm;
    StoredSettings& store;
    SerialPortFactory& ports;
    SharedDeviceValues& shared;
    Prompter& prompter;
    Launcher& launcher;
    ToolWindowOpener& tools;
    ConnectDialogs& connectDialogs;
    FileChooser& files;
    // The bus monitor: it sees every exchange and opens from the View menu; may be none.
    ExchangeObserver* exchanges = nullptr;
    BusMonitorOpener* busMonitor = nullptr;
};

}  // namespace corvel
