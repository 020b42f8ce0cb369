#include <gtest/gtest.h>

#include "app/comm_settings.h"
#include "app/startup.h"
#include "app/stored_settings.h"

namespace corvel {
namespace {

TEST(Settings, AFirstRunReadsCom1And115200) {
    MemoryStoredSettings store;
    CommSettings comm;
    RestoreCommSettings(comm, store);
    EXPECT_EQ(comm.portName, "COM1");
    EXPECT_EQ(comm.baudText, "115200");
    EXPECT_EQ(comm.baudRate, 115200u);
    EXPECT_FALSE(store.contains(key::kPort));  // reading writes nothing
}

TEST(Settings, StoredValuesComeBack) {
    MemoryStoredSettings store;
    store.write(key::kPort, "\\\\.\\COM12");
    store.write(key::kBaudRate, "9600");
    CommSettings comm;
    RestoreCommSettings(comm, store);
    EXPECT_EQ(comm.portName, "\\\\.\\COM12");
    EXPECT_EQ(comm.baudRate, 9600u);
    EXPECT_EQ(store.read(kSettingsSection, key::kBaudRate, ""), "9600");
}

TEST(Settings, BaudTextParseStopsAtTheFirstNonDigit) {
    EXPECT_EQ(ParseBaudText("9600x"), 9600u);
    EXPECT_EQ(ParseBaudText("19200 baud"), 19200u);
    EXPECT_EQ(ParseBaudText("fast"), 0u);
    EXPECT_EQ(ParseBaudText(""), 0u);
    EXPECT_EQ(ParseBaudText("-9600"), 0u);
    EXPECT_EQ(ParseBaudText("4294976896"), 0u);  // 2^32 + 9600 must not wrap round to 9600
    CommSettings comm;
    comm.setBaudText("57600");
    EXPECT_EQ(comm.baudRate, 57600u);
    comm.setBaudText("n/a");
    EXPECT_EQ(comm.baudRate, 0u);
}

}  // namespace
}  // namespace corvel
