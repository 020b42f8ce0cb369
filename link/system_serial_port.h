#pragma once
// The serial ports of the platform the program runs on. Each platform's
// backend file defines this; callers need not know which backend it is.

#include <optional>
#include <string>

#include "link/serial_port.h"

namespace corvel {

SerialPortFactory& SystemSerialPortFactory();

// The device that a port name reaches on this system ("/dev/ttyUSB0"; empty
// when no device has that number), or nothing where the names are the
// devices themselves (Windows).
std::optional<std::string> SystemDeviceOf(const std::string& portName);

}  // namespace corvel
