#pragma once
// Everything a tool window is given when it opens. Each tool window builds its
// own DeviceSession from these parts and releases it when it closes; the
// connection it talks to comes from the stored settings, not from the main
// window.

#include "comm_settings.h"
#include "file_chooser.h"
#include "prompter.h"
#include "serial_port.h"
#include "shared_device_values.h"
#include "stored_settings.h"
#include "tool_windows.h"

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
};

}  // namespace corvel
