#include "readings/readings_file.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <sstream>

namespace corvel {
namespace {

namespace fs = std::filesystem;

SampleEntry Entry(float p1, float p2) {
    SampleEntry entry;
    entry.p1 = {p1, 14.5f, 15.25f};
    entry.p2 = {p2, -1.0f, 100.0f};
    entry.date = "12/08/2026";
    entry.time = "07:05:09";
    return entry;
}

const ReadingsLineParts kSingle{false, "P1:  GI100", "PSI", "", ""};
const ReadingsLineParts kDual{true, "P1:  GI100", "PSI", "P2:  AI30", "bar"};

TEST(ReadingsLine, EachFormOfTheSixWithCrLf) {
    EXPECT_EQ(ReadingsLine(1, Entry(14.7f, 0), kSingle),
              "00001   14.700000   PSI   14.500000   15.250000   07:05:09   12/08/2026\r\n");
    EXPECT_EQ(ReadingsLine(10000, Entry(kOutOfRangeMarker, 0), kSingle),
              "10000   Out of range   PSI   14.500000   15.250000   07:05:09   12/08/2026\r\n");
    EXPECT_EQ(ReadingsLine(42, Entry(14.7f, 2.5f), kDual),
              "00042 P1:  GI100   14.700000   PSI   14.500000   15.250000   P2:  AI30   2.500000   bar   "
              "-1.000000   100.000000   07:05:09   12/08/2026\r\n");
    EXPECT_EQ(ReadingsLine(3, Entry(kOutOfRangeMarker, 2.5f), kDual),
              "00003 P1:  GI100   Out of range   PSI   14.500000   15.250000   P2:  AI30   2.500000   bar   "
              "-1.000000   100.000000   07:05:09   12/08/2026\r\n");
    EXPECT_EQ(ReadingsLine(3, Entry(14.7f, kOutOfRangeMarker), kDual),
              "00003 P1:  GI100   14.700000   PSI   14.500000   15.250000   P2:  AI30   Out of range   bar   "
              "-1.000000   100.000000   07:05:09   12/08/2026\r\n");
    EXPECT_EQ(ReadingsLine(3, Entry(kOutOfRangeMarker, kOutOfRangeMarker), kDual),
              "00003 P1:  GI100   Out of range   PSI   14.500000   15.250000   P2:  AI30   Out of range   bar   "
              "-1.000000   100.000000   07:05:09   12/08/2026\r\n");
}

TEST(ReadingsLine, ASampleWithoutAnAnswerHasNoValues) {
    SampleEntry lost = Entry(14.7f, 2.5f);
    lost.answered = false;
    EXPECT_EQ(ReadingsLine(7, lost, kSingle),
              "00007   No reading   PSI   No reading   No reading   07:05:09   12/08/2026\r\n");
    EXPECT_EQ(ReadingsLine(7, lost, kDual),
              "00007 P1:  GI100   No reading   PSI   No reading   No reading   P2:  AI30   No reading   bar   "
              "No reading   No reading   07:05:09   12/08/2026\r\n");
}

TEST(ReadingsLine, FullStopsUnderAGermanLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not available";
    const std::string line = ReadingsLine(1, Entry(14.7f, 0), kSingle);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(line, "00001   14.700000   PSI   14.500000   15.250000   07:05:09   12/08/2026\r\n");
}

TEST(CollectionFields, IntervalIsUnsignedAndSamplesMayBeNegative) {
    EXPECT_EQ(ParseInterval("300"), 300u);
    EXPECT_EQ(ParseInterval(" 0 "), 0u);
    EXPECT_EQ(ParseInterval("-1"), std::nullopt);
    EXPECT_EQ(ParseInterval("1.5"), std::nullopt);
    EXPECT_EQ(ParseInterval(""), std::nullopt);
    EXPECT_EQ(ParseInterval("abc"), std::nullopt);
    EXPECT_EQ(ParseSampleCount("-5"), -5);
    EXPECT_EQ(ParseSampleCount("12000"), 12000);
    EXPECT_EQ(ParseSampleCount("12e3"), std::nullopt);
    EXPECT_EQ(ParseSampleCount("99999999999"), std::nullopt);
}

TEST(SampleBuffer, WrapsAtTenThousandAndClearsOnlyValues) {
    SampleBuffer buffer;
    buffer[10003].p1.value = 7.0f;
    buffer[3].date = "01/02/2026";
    EXPECT_EQ(buffer[3].p1.value, 7.0f);
    buffer.clearValues();
    EXPECT_EQ(buffer[3].p1.value, 0.0f);
    EXPECT_EQ(buffer[3].date, "01/02/2026");
}

class ReadingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("corvel-readings-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    static std::string Contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }
    fs::path folder_;
};

TEST_F(ReadingsFile, ReplacesOrAppendsAndLeavesNothingBeside) {
    const fs::path path = folder_ / "readings.csv";
    std::string error;
    ASSERT_TRUE(WriteReadingsFile(path, false, {"a\r\n", "b\r\n"}, error)) << error;
    EXPECT_EQ(Contents(path), "a\r\nb\r\n");
    ASSERT_TRUE(WriteReadingsFile(path, true, {"c\r\n"}, error)) << error;
    EXPECT_EQ(Contents(path), "a\r\nb\r\nc\r\n");
    ASSERT_TRUE(WriteReadingsFile(path, false, {}, error)) << error;  // no samples empties the file
    EXPECT_EQ(Contents(path), "");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(ReadingsFile, RefusesWhatIsNotARegularFileAndKeepsItIntact) {
    std::string error;
    EXPECT_FALSE(WriteReadingsFile(folder_, false, {"a\r\n"}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(folder_));
    EXPECT_FALSE(WriteReadingsFile(folder_ / "missing" / "x.csv", false, {"a\r\n"}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FilesInFolder(), 0u);
}

}  // namespace
}  // namespace corvel
