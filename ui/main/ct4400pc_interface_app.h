#pragma once
// CT4400PCInterfaceApp: the application. It restores the communication
// settings from the user's store, runs the main window modally and ends when
// the window closes.

#include "serial_port.h"

namespace corvel {

class CT4400PCInterfaceApp {
public:
    explicit CT4400PCInterfaceApp(SerialPortFactory& ports) : ports_(ports) {}
    // Needs a running QApplication; returns the process exit code.
    int run();

private:
    SerialPortFactory& ports_;
};

}  // namespace corvel
