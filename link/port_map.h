#pragma once
// How the port names of the utility ("COM3", "\\.\COM12") reach serial devices
// on Linux. The map is a pure function of what it is given (the override folder
// and the names found in /dev) so that it is tested without devices.
//
//   1. CORVEL_PORT_DIR names a folder: an entry COMn in it (normally a link to
//      a device or pseudo-terminal) is COMn; every COM number without an entry
//      keeps the default below. With CORVEL_PORT_DIR_ONLY=1 as well, a number
//      without an entry is a port that does not exist (for tests and sandboxes
//      that must not reach the machine's own ports).
//   2. By default COM1..COM4 are the on-board ports /dev/ttyS0../dev/ttyS3, and
//      the USB adapters follow from COM5 on: /dev/ttyUSB* by number, then
//      /dev/ttyACM* by number. A number with no device maps to nothing.
//   3. A name that is not a COM name is a device path and is opened as it is.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvel {

inline constexpr std::string_view kPortDirVariable = "CORVEL_PORT_DIR";
inline constexpr std::string_view kPortDirOnlyVariable = "CORVEL_PORT_DIR_ONLY";

struct PortMapEnvironment {
    std::string overrideDirectory;            // CORVEL_PORT_DIR, empty when unset
    std::vector<std::string> overrideEntries;  // entry names of that folder
    bool overrideOnly = false;                // CORVEL_PORT_DIR_ONLY=1
    std::vector<std::string> deviceNames;     // entry names of /dev
};

// The COM number of "COMn" or "\\.\COMn" (1..100), or 0 for any other name.
int ComNumberOf(std::string_view portName);

// Device paths of COM1, COM2, ... by the default rule (index 0 is COM1); the
// list ends with the last adapter found.
std::vector<std::string> DefaultComDevices(const std::vector<std::string>& deviceNames);

// The path to open for `portName`, or an empty text when a COM number has no device.
std::string DevicePathOf(std::string_view portName, const PortMapEnvironment& environment);

// The first COM number whose path reaches nothing (`exists` says whether a path
// names a device, a link or any other entry), or 0 when every number is taken.
int FirstComNumberWithoutDevice(const PortMapEnvironment& environment,
                                const std::function<bool(const std::string&)>& exists);

// The environment of this process: CORVEL_PORT_DIR with its entries, the names
// in /dev.
PortMapEnvironment CurrentPortMapEnvironment();

}  // namespace corvel
