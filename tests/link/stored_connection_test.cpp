#include "link/stored_connection.h"

#include <gtest/gtest.h>

namespace corvel {
namespace {

TEST(StoredConnection, DefaultsWhenNothingIsStored) {
    MemoryStoredSettings store;
    CommSettings comm;
    const StoredConnection connection = ReadStoredConnection(store, comm);
    EXPECT_EQ(connection.portNumber, 1);
    EXPECT_EQ(comm.portName, "COM1");
    EXPECT_EQ(PressureModuleRoute(connection), (RouteBlock{1, 0x80, 0x80, 40, 0xF0, 64}));
    EXPECT_EQ(connection.commModule, 40);
}

TEST(StoredConnection, ExactListsOnlyAndTheDefaultOtherwise) {
    MemoryStoredSettings store;
    CommSettings comm;
    store.write(key::kPort, "\\\\.\\COM12");
    store.write(key::kCommBoardAddress, "254");
    store.write(key::kEPIAddress, "112");
    store.write(key::kCommModule, "16");
    StoredConnection connection = ReadStoredConnection(store, comm);
    EXPECT_EQ(PressureModuleRoute(connection), (RouteBlock{12, 0x80, 0x80, 254, 0xF0, 112}));
    EXPECT_EQ(connection.commModule, 16);
    EXPECT_EQ(comm.portName, "\\\\.\\COM12");

    // Texts outside the lists: "COM12" (needs the device-namespace form), 255,
    // a leading zero, a blank, 15 and 113.
    store.write(key::kPort, "COM12");
    store.write(key::kCommBoardAddress, "255");
    store.write(key::kEPIAddress, "064");
    store.write(key::kCommModule, " 40");
    connection = ReadStoredConnection(store, comm);
    EXPECT_EQ(PressureModuleRoute(connection), (RouteBlock{1, 0x80, 0x80, 40, 0xF0, 64}));
    EXPECT_EQ(connection.commModule, 40);
    EXPECT_EQ(comm.portName, "COM12");  // the name is copied as it is
    EXPECT_EQ(NumberFromList("15", 16, 112, 7), 7);
    EXPECT_EQ(NumberFromList("113", 16, 112, 7), 7);
    EXPECT_EQ(NumberFromList("+20", 16, 112, 7), 7);
    EXPECT_EQ(NumberFromList("", 16, 112, 7), 7);
}

}  // namespace
}  // namespace corvel
