#pragma once
// How the port names of the utility ("COM3", "\\.\COM12") reach serial devices
// on Linux. The map is a pure function of what it is given (the override folder
// and the names found in /dev) so that it is tested without devices.
//
//   1. CORVEL_PORT_DIR set: COMn is the entry $CORVEL_PORT_DIR/COMn (normally a
//      link to a device or pseudo-terminal); an absent entry is a port that
//      does not exist.
//   2. Otherwise COM1..COM4 are the on-board ports /dev/ttyS0../dev/ttyS3, and
//      the USB adapters follow from COM5 on: /dev/ttyUSB* by number, then
//      /dev/ttyACM* by number. A number with no device maps to nothing.
//   3. A name that is not a COM name is a device path and is opened as it is.

#include <string>
#include <string_view>
#include <vector>

namespace corvel {

inline constexpr std::string_view kPortDirVariable = "CORVEL_PORT_DIR";

struct PortMapEnvironment {
    std::string overrideDirectory;         // CORVEL_PORT_DIR, empty when unset
    std::vector<std::string> deviceNames;  // entry names of /dev (unused with an override)
};

// The COM number of "COMn" or "\\.\COMn" (1..100), or 0 for any other name.
int ComNumberOf(std::string_view portName);

// Device paths of COM1, COM2, ... by the default rule (index 0 is COM1); the
// list ends with the last adapter found.
std::vector<std::string> DefaultComDevices(const std::vector<std::string>& deviceNames);

// The path to open for `portName`, or an empty text when a COM number has no device.
std::string DevicePathOf(std::string_view portName, const PortMapEnvironment& environment);

// The environment of this process: CORVEL_PORT_DIR, or else the names in /dev.
PortMapEnvironment CurrentPortMapEnvironment();

}  // namespace corvel
