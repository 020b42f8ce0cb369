#pragma once
// Everything a tool window is given when it opens. Each tool window builds its
// own DeviceSession from these parts and releases it when it closes; the
// connection it talks to comes from the stored settings, not from the main
// window.

#include "app/comm_settings.h"
#include "ui/support/file_chooser.h"
#include "ui/support/prompter.h"
#include "link/exchange_record.h"
#include "link/serial_port.h"
#include "link/shared_device_values.h"
#include "app/stored_settings.h"
#include "ui/support/tool_window_opener.h"

namespace corvel {

struct ToolContext {
    CommSettings& comm;
    StoredSettings& store;
    SerialPortFactory& ports;
    SharedDeviceValues& shared;
    Prompter& prompter;
    FileChooser& files;
    // For a tool window that opens another (Analog Output opens Field Recalibration).
    ToolWindowOpener& tools;
    // Sees every exchange of the window's session (the bus monitor); may be none.
    ExchangeObserver* exchanges = nullptr;
};

}  // namespace corvel
