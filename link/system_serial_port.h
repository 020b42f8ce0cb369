#pragma once
// The serial ports of the platform the program runs on. Each platform's
// backend file defines this; callers need not know which backend it is.

#include "serial_port.h"

namespace corvel {

SerialPortFactory& SystemSerialPortFactory();

}  // namespace corvel
