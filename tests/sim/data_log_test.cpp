// Log files built from a description, listed and downloaded block by block.
#include <gtest/gtest.h>

#include "common/bytes.h"
#include "tests/sim/exchange.h"
#include "sim/log_builder.h"

namespace corvel::sim::test {
namespace {

TEST(LogBuilder, WritesHeadersAndRecordsInTheFileLayout) {
    LogDescription d = PressureLogDescription("LOG1.BIN", 4, 200);
    d.logName = std::string(31, 'N');
    d.modules.push_back({1, 0x50, {}});
    d.modules[1].channels[3] = {400, "C", 1.0f, 1, 20.0f, 1.0f};  // every second instant
    d.gaps = {{1, 6000}};
    d.statuses = {{2, 0, 2, 0x21}};
    const Bytes file = BuildLogFile(d);

    EXPECT_EQ(U16At(file, 2), 2026);
    EXPECT_EQ(file[4], 12);
    EXPECT_EQ(file[10], 2);
    EXPECT_EQ(file[43], 0);  // 31-character name, then its zero
    EXPECT_EQ(TextAt(file, 44, 16), "SIM0001");
    // First module header: pressure, channel 1 every 2 s, 4 samples.
    EXPECT_EQ(file[60 + 14], 0);
    EXPECT_EQ(S32At(file, 60 + 16), 200);
    EXPECT_EQ(S32At(file, 80), 4);
    EXPECT_EQ(TextAt(file, 60 + 24, 8), "PSI");
    // Second module: voltage/current, mode 0x50, temperature logged twice.
    EXPECT_EQ(file[172 + 15], 0x50);
    EXPECT_EQ(S32At(file, 172 + 88 + 4), 2);

    // Records: instant 0 = P1, P2 (module 0x40) and temperature (0x41).
    const std::size_t records = 60 + 2 * 112;
    EXPECT_EQ(file[records], 0x40);
    EXPECT_EQ(file[records + 1], 1);
    EXPECT_FLOAT_EQ(F32At(file, records + 8), 14.7f);
    EXPECT_EQ(file[records + 24], 0x41);
    EXPECT_EQ(file[records + 25], 4);
    // Instant 1 (P1, P2), then the gap marker with the jumped clock.
    const std::size_t marker = records + 36 + 24;
    EXPECT_EQ(file[marker + 1], 5);
    EXPECT_EQ(S32At(file, marker + 4), 200 * 2 + 6000);
    // Instant 2 carries the scripted status on P2.
    EXPECT_EQ(file[marker + 12 + 12 + 3], 0x21);
    EXPECT_EQ(S32At(file, marker + 12 + 4), 200 * 2 + 6000);
    // 4 + 4 pressure records, 2 temperature records, 1 marker.
    EXPECT_EQ(file.size(), records + 11 * 12);
}

// A stored file whose bytes count up from 0, wrapping at 256.
Bytes CountingBytes(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

class LogTransfer : public ::testing::Test {
protected:
    void SetUp() override { device = &bus.attach(2, *ModelConfig("Q712")); }
    Bytes files(std::uint8_t command2, std::uint8_t argument) {
        Bytes payload(16, 0);
        payload[0] = argument;
        return Transact(bus, 2, {.command1 = 0x51, .command2 = command2, .payload = payload, .route = RouteTo(40, 0x20)});
    }
    Bytes block(std::uint8_t file) {
        return Transact(bus, 2,
                        {.command1 = 0x52, .payload = Payload({0x80, file, 0, 0, 0, 0}), .route = RouteTo(40, 0x20)});
    }
    Bytes download(std::uint8_t file) {
        files(0x42, file);
        Bytes copy;
        for (int guard = 0; guard < 1000; ++guard) {
            const Bytes reply = block(file);
            if (reply.size() < 20 || reply[8] != 0) break;
            copy.insert(copy.end(), reply.begin() + 20, reply.begin() + 148);
            if (reply[14] != 0x80) break;
        }
        files(0x44, file);
        return copy;
    }

    InProcessBus bus;
    SimDevice* device = nullptr;
};

TEST_F(LogTransfer, DirectoryListsEachFileWithItsFirstBytes) {
    device->logStore()->add({"COUNTING.BIN", CountingBytes(300)});
    EXPECT_EQ(files(0x41, 0xFF)[12], 3);
    // The Q712's first preset log: 40 samples of P1 and P2 at 1 s
    const Bytes entry = files(0x41, 1);
    EXPECT_EQ(entry.size(), 156u);
    EXPECT_EQ(TextAt(entry, 16, 14), "LOG00001.BIN");
    EXPECT_EQ(U16At(entry, 30 + 2), 2026);
    EXPECT_EQ(TextAt(entry, 30 + 12, 31), "Simulated log");
    EXPECT_EQ(U32At(entry, 30 + 76), 100u);  // P1 interval
    EXPECT_EQ(U32At(entry, 30 + 80), 40u);   // P1 samples
    const Bytes counting = files(0x41, 3);
    EXPECT_EQ(TextAt(counting, 16, 14), "COUNTING.BIN");
    EXPECT_EQ(Bytes(counting.begin() + 30, counting.begin() + 150), CountingBytes(120));
    EXPECT_EQ(files(0x41, 4)[16], 0);  // past the last file
}

TEST_F(LogTransfer, DownloadServesTheWholeFileInBlocks) {
    device->logStore()->add({"COUNTING.BIN", CountingBytes(300)});
    Bytes expected = CountingBytes(300);
    expected.resize(3 * 128, 0);  // the last block padded with zeros
    EXPECT_EQ(download(3), expected);
    EXPECT_EQ(block(3)[8], 0x15);  // closed again
}

TEST_F(LogTransfer, CollectingDeviceAnswersWAndEraseEmptiesTheStore) {
    device->logStore()->collecting = true;
    EXPECT_EQ(files(0x41, 0xFF)[12], 'W');
    device->logStore()->collecting = false;
    const Bytes state = Transact(bus, 2, {.command1 = 0x09, .command2 = 0x8F, .payload = Payload({255}),
                                          .route = RouteTo(40, 0x10)});
    EXPECT_EQ(state[8], 0);
    EXPECT_EQ(state[12], 0);
    EXPECT_EQ(device->logStore()->state, 255);
    EXPECT_EQ(files(0xC5, 0xFF)[8], 0);
    EXPECT_EQ(files(0x41, 0xFF)[12], 0);
}

TEST_F(LogTransfer, LineDropMidDownloadSilencesTheDevice) {
    device->faults.dropLineAfterLogBlocks = 2;
    const Bytes copy = download(1);
    EXPECT_EQ(copy.size(), 2u * 128);
    EXPECT_TRUE(Transact(bus, 2, {.route = RouteTo(40)}).empty());
}

}  // namespace
}  // namespace corvel::sim::test
