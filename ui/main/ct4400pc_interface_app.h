#pragma once
// CT4400PCInterfaceApp: the application. It restores the communication
// settings from the user's store, runs the main window modally and ends when
// the window closes.

#include <QString>

#include "link/serial_port.h"

namespace corvel {

class CT4400PCInterfaceApp {
public:
    // `statusNote`: a line the main window shows at the foot of its connection group.
    explicit CT4400PCInterfaceApp(SerialPortFactory& ports, QString statusNote = {})
        : ports_(ports), statusNote_(std::move(statusNote)) {}
    // Needs a running QApplication; returns the process exit code.
    int run();

private:
    SerialPortFactory& ports_;
    QString statusNote_;
};

}  // namespace corvel
