#pragma once
// Everything a window is given at start-up: the process-wide settings, the
// store, the serial ports, and the operator-facing services. The program
// fills it with the real implementations; tests hand in fakes and the
// simulator.

#include "comm_settings.h"
#include "connect_dialogs.h"
#include "launcher.h"
#include "prompter.h"
#include "serial_port.h"
#include "shared_device_values.h"
#include "stored_settings.h"
#include "tool_windows.h"

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
};

}  // namespace corvel
