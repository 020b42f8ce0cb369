#pragma once
// The connection that discovery left in the stored settings, as the tool
// windows read it when they open: the setting texts are converted by exact
// comparison with fixed lists, and a text that matches no entry leaves the
// previous number (the window's default) unchanged.
//
//   Port              "COM1".."COM9", "\\.\COM10".."\\.\COM100"  -> port number 1..100
//   CommBoardAddress  "1".."254"                                 -> network address
//   EPIAddress        "16".."112"                                -> pressure module address
//   CommModule        "16".."112"                                -> module byte of the operations

#include <cstdint>
#include <string>
#include <string_view>

#include "app/comm_settings.h"
#include "link/frame.h"
#include "app/stored_settings.h"

namespace corvel {

struct StoredConnection {
    std::string portName = "COM1";
    int portNumber = 1;
    std::uint8_t networkAddress = 40;
    std::uint8_t moduleAddress = 64;  // EPIAddress
    std::uint8_t commModule = 40;     // CommModule
};

// The number of `text` when it is one of the decimal texts "first".."last"
// (no sign, no leading zero, no blanks), else `unchanged`.
int NumberFromList(std::string_view text, int first, int last, int unchanged);

// Reads Port (default "COM1"), CommBoardAddress (default "40"), EPIAddress
// (default "64") and CommModule (default "40") and converts them; the port
// name also becomes the port name of `comm`, which the device link opens.
StoredConnection ReadStoredConnection(const StoredSettings& store, CommSettings& comm);

// The route of the pressure module: port number, 0x80, 0x80, network
// address, 0xF0, module address.
RouteBlock PressureModuleRoute(const StoredConnection& connection);

}  // namespace corvel
