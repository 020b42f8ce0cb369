#include "link/stored_connection.h"

#include "common/number_format.h"
#include "link/port_names.h"

namespace corvel {

int NumberFromList(std::string_view text, int first, int last, int unchanged) {
    return ParseWholeText<int>(text, {.leadingZero = false, .min = first, .max = last}).value_or(unchanged);
}

StoredConnection ReadStoredConnection(const StoredSettings& store, CommSettings& comm) {
    StoredConnection connection;
    connection.portName = store.read(key::kPort, "COM1");
    connection.portNumber = PortNumberFromOpenName(connection.portName, connection.portNumber);
    connection.networkAddress = static_cast<std::uint8_t>(
        NumberFromList(store.read(key::kCommBoardAddress, "40"), 1, 254, connection.networkAddress));
    connection.moduleAddress = static_cast<std::uint8_t>(
        NumberFromList(store.read(key::kEPIAddress, "64"), 16, 112, connection.moduleAddress));
    connection.commModule =
        static_cast<std::uint8_t>(NumberFromList(store.read(key::kCommModule, "40"), 16, 112, connection.commModule));
    comm.portName = connection.portName;
    return connection;
}

RouteBlock PressureModuleRoute(const StoredConnection& connection) {
    return RouteBlock{static_cast<std::uint8_t>(connection.portNumber), 0x80, 0x80, connection.networkAddress, 0xF0,
                      connection.moduleAddress};
}

}  // namespace corvel
