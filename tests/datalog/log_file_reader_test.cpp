#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <span>
#include <unistd.h>

#include "tests/datalog/log_builder.h"
#include "datalog/log_file_reader.h"

namespace corvel {
namespace {

using testing::LogBuilder;
using testing::PressureModule;

class LogFileReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() /
               ("corvel-reader-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin");
    }
    void TearDown() override { std::filesystem::remove(path); }

    void writeBytes(const std::vector<std::uint8_t>& bytes) { testing::WriteBytes(path, bytes); }

    // The record at `index` of `records` (whole records of 12 bytes).
    static sampleRecord RecordAt(std::span<const std::uint8_t> records, std::size_t index) {
        sampleRecord record;
        std::copy_n(records.begin() + static_cast<std::ptrdiff_t>(index * kSampleRecordSize), kSampleRecordSize,
                    record.bytes.begin());
        return record;
    }

    std::filesystem::path path;
};

TEST_F(LogFileReaderTest, ReadsHeadersAndRecordsInOrder) {
    // GIVEN a log with a 31-character name and one pressure module
    const std::string name31(31, 'N');
    auto moduleSpec = PressureModule(250, 40, "kPa", "bar");
    moduleSpec.mode = 1;
    moduleSpec.channels[0].decimals = -1;
    moduleSpec.channels[0].scale = 0.5f;
    LogBuilder log;
    log.start(2023, 12, 31, 23, 59, 58).name(name31).serial("SN-1").module(moduleSpec).value(0x40, 2, 700, 1.25f, 0x21);
    writeBytes(log.bytes());

    LogFileReader reader;
    ASSERT_FALSE(reader.open(path));
    logFileHeader header;
    moduleHeader_v0 module;
    ASSERT_EQ(reader.read(header), 60u);
    ASSERT_EQ(reader.read(module), 112u);
    const std::span<const std::uint8_t> records = reader.readRecords();
    ASSERT_EQ(records.size(), 12u);
    sampleRecord record = RecordAt(records, 0);

    // THEN the name ends at offset 43 and the serial number still starts at 44
    EXPECT_EQ(header.bytes[43], 0);
    EXPECT_EQ(header.logName(), name31);
    EXPECT_EQ(header.unitSerialNumber(), "SN-1");
    EXPECT_EQ(header.startYear(), 2023);
    EXPECT_EQ(header.startDateFirst(), 12);
    EXPECT_EQ(header.startDateSecond(), 31);
    EXPECT_EQ(header.startHour(), 23);
    EXPECT_EQ(header.startMinute(), 59);
    EXPECT_EQ(header.startSecond(), 58);
    EXPECT_EQ(header.moduleCount(), 1);
    EXPECT_EQ(module.moduleType(), kPressureModuleKind);
    EXPECT_EQ(module.moduleMode(), 1);
    EXPECT_EQ(module.channel(1).interval(), 250);
    EXPECT_EQ(module.channel(1).sampleCount(), 40);
    EXPECT_EQ(module.channel(1).units(), "kPa");
    EXPECT_EQ(module.channel(1).scale(), 0.5f);
    EXPECT_EQ(module.channel(1).decimals(), -1);  // stored 0xFF
    EXPECT_EQ(module.channel(2).units(), "bar");
    EXPECT_FALSE(module.channel(3).isLogged());
    EXPECT_EQ(record.moduleTag(), 0x40);
    EXPECT_EQ(record.channel(), 2);
    EXPECT_EQ(record.statusCode(), 0x21);
    EXPECT_EQ(record.timeStamp(), 700);
    EXPECT_EQ(record.rawValue(), 1.25f);
    EXPECT_FALSE(record.isMarker());

    // AND every read past the end gives one record of zeros
    for (int read = 0; read < 2; ++read) {
        const std::span<const std::uint8_t> past = reader.readRecords();
        ASSERT_EQ(past.size(), 12u);
        EXPECT_TRUE(std::all_of(past.begin(), past.end(), [](std::uint8_t byte) { return byte == 0; }));
    }
    EXPECT_EQ(reader.bytesRead(), reader.fileSize());
    EXPECT_FALSE(reader.error());
}

TEST_F(LogFileReaderTest, TextsAreBoundedByTheirFieldsWithoutAZeroByte) {
    LogBuilder log;
    log.name(std::string(40, 'L')).serial(std::string(20, 'S'));
    auto moduleSpec = PressureModule(100, 1, std::string(12, 'U'));
    log.module(moduleSpec);
    writeBytes(log.bytes());

    LogFileReader reader;
    ASSERT_FALSE(reader.open(path));
    logFileHeader header;
    moduleHeader_v0 module;
    reader.read(header);
    reader.read(module);
    EXPECT_EQ(header.logName(), std::string(32, 'L'));
    EXPECT_EQ(header.unitSerialNumber(), std::string(16, 'S'));
    EXPECT_EQ(module.channel(1).units(), std::string(8, 'U'));
}

TEST_F(LogFileReaderTest, AShortReadCountsTheBytesGotAndZeroesTheRest) {
    std::vector<std::uint8_t> bytes(60 + 50, 0xAB);
    writeBytes(bytes);

    LogFileReader reader;
    ASSERT_FALSE(reader.open(path));
    logFileHeader header;
    moduleHeader_v0 module;
    EXPECT_EQ(reader.read(header), 60u);
    EXPECT_EQ(reader.read(module), 50u);
    EXPECT_EQ(module.bytes[49], 0xAB);
    EXPECT_EQ(module.bytes[50], 0);
    EXPECT_EQ(module.bytes[111], 0);
}

TEST_F(LogFileReaderTest, RecordsAcrossChunkBoundariesAreWhole) {
    // GIVEN more records than one read chunk holds, the last one cut short
    LogBuilder log;
    log.module(PressureModule(100, 1));
    for (int i = 0; i < 20000; ++i) log.value(0x40, 1, i, static_cast<float>(i));
    std::vector<std::uint8_t> bytes = log.bytes();
    bytes.resize(bytes.size() - 3);
    writeBytes(bytes);

    LogFileReader reader;
    ASSERT_FALSE(reader.open(path));
    logFileHeader header;
    moduleHeader_v0 module;
    reader.read(header);
    reader.read(module);
    int next = 0;
    while (next < 19999) {
        const std::span<const std::uint8_t> records = reader.readRecords();
        ASSERT_EQ(records.size() % 12, 0u);
        ASSERT_FALSE(records.empty());
        for (std::size_t index = 0; index < records.size() / 12; ++index, ++next) {
            const sampleRecord record = RecordAt(records, index);
            ASSERT_EQ(record.timeStamp(), next);
            ASSERT_EQ(record.rawValue(), static_cast<float>(next)) << next;
        }
    }
    EXPECT_EQ(next, 19999);
    // THEN the last record, cut short by the end of the file, is no record: its missing bytes are no value
    EXPECT_TRUE(RecordAt(reader.readRecords(), 0).isNoRecord());
    EXPECT_TRUE(RecordAt(reader.readRecords(), 0).isNoRecord());
    EXPECT_EQ(reader.bytesRead(), bytes.size());
}

TEST_F(LogFileReaderTest, AMissingFileReportsTheSystemError) {
    LogFileReader reader;
    EXPECT_EQ(reader.open(path), std::errc::no_such_file_or_directory);
}

}  // namespace
}  // namespace corvel
