// Copying a log file from the simulated transmitter: the whole file arrives,
// a failed block starts the copy again, and a copy that does not complete
// leaves nothing of its own behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/inprocess_port.h"
#include "link/log_copy.h"
#include "link/owned_link_context.h"
#include "tests/datalog/simulated_log.h"

namespace corvel {
namespace {

namespace fs = std::filesystem;
using Outcome = LogCopyResult::Outcome;

constexpr sim::CommandMatch kLogBlockCommand{0x52, 0x00};

std::vector<std::uint8_t> Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LogCopyOnSimulator : public ::testing::Test, protected OwnedLinkContext {
protected:
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    DeviceSession session{with(ports)};
    const RouteBlock store{1, 0xF0, 0x80, 40, 0xF0, 0x20};
    const RouteBlock state{1, 0xF0, 0x80, 40, 0xF0, 0x10};
    fs::path folder = fs::temp_directory_path() /
                      ("log-copy-test-" + std::to_string(::getpid()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path target = folder / "copy.bin";
    sim::DeviceConfig config = *sim::ModelConfig("Q712");

    LogCopyOnSimulator() {
        comm.portName = "COM1";
        fs::create_directories(folder);
        config.logs = {sim::PressureLogDescription("LOG00001.BIN", 300, 100)};
    }
    ~LogCopyOnSimulator() override { fs::remove_all(folder); }

    sim::SimDevice& attach() { return bus.attach(1, config); }
    LogCopyResult copy(const LogCopyObserver& observer = {}) {
        return CopyLogFile(session, LogCopyRequest{store, state, 1, 20}, target, observer);
    }
    // The log as the transmitter keeps it, in whole 128-byte blocks.
    static std::vector<std::uint8_t> wholeBlocks() {
        return testing::InWholeBlocks(testing::SimulatedPressureLog(300, 100).bytes());
    }
    void writeOldTarget() { std::ofstream(target) << "previous"; }
    bool onlyTargetInFolder() const {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator()) == (fs::exists(target) ? 1 : 0);
    }
};

TEST_F(LogCopyOnSimulator, WholeFileArrivesAndLoggingIsReleased) {
    sim::SimDevice& device = attach();
    writeOldTarget();
    std::vector<int> percents;
    const LogCopyResult result = copy([&](const LogCopyProgress& p) {
        percents.push_back(p.percent());
        EXPECT_EQ(device.logStore()->state, 255) << "logging held during the copy";
        return true;
    });
    ASSERT_TRUE(result.complete()) << result.failure;
    EXPECT_EQ(result.attempts, 1);
    EXPECT_TRUE(testing::SameBytes(Contents(target), wholeBlocks()));
    EXPECT_EQ(result.bytes, wholeBlocks().size());
    EXPECT_EQ(device.logStore()->state, 0);
    EXPECT_TRUE(onlyTargetInFolder());
    // GIVEN an estimate of 20 blocks for a longer file THEN the bar starts at 1 and stays at 100.
    ASSERT_GT(percents.size(), 20u);
    EXPECT_EQ(percents.front(), 1);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
}

TEST_F(LogCopyOnSimulator, FailedBlockStartsTheCopyAgainFromTheFirstBlock) {
    sim::SimDevice& device = attach();
    // WHEN block 6 of the first attempt is rejected
    const LogCopyResult result = copy([&](const LogCopyProgress& p) {
        device.faults.statusFor.clear();
        if (p.attempt == 1 && p.blocks == 5) device.faults.statusFor.push_back({kLogBlockCommand, 0x15});
        return true;
    });
    // THEN the second attempt copies the whole file, not the tail appended to the head
    ASSERT_TRUE(result.complete()) << result.failure;
    EXPECT_EQ(result.attempts, 2);
    EXPECT_TRUE(testing::SameBytes(Contents(target), wholeBlocks()));
    EXPECT_EQ(device.logStore()->state, 0);
}

TEST_F(LogCopyOnSimulator, CopyThatKeepsFailingEndsAfterThreeAttemptsAndKeepsTheOldFile) {
    sim::SimDevice& device = attach();
    writeOldTarget();
    device.faults.statusFor.push_back({kLogBlockCommand, 0x15});
    const LogCopyResult result = copy();
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.attempts, kLogCopyAttempts);
    EXPECT_NE(result.failure.find("reading log block 1 failed"), std::string::npos) << result.failure;
    EXPECT_EQ(Contents(target), std::vector<std::uint8_t>({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_TRUE(onlyTargetInFolder());
    EXPECT_EQ(device.logStore()->state, 0);
}

TEST_F(LogCopyOnSimulator, LineDroppedMidCopyLeavesNoFile) {
    sim::SimDevice& device = attach();
    device.faults.dropLineAfterLogBlocks = 4;
    const LogCopyResult result = copy();
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(onlyTargetInFolder());
}

TEST_F(LogCopyOnSimulator, StoppedCopyClosesTheFileAndReleasesLogging) {
    sim::SimDevice& device = attach();
    const LogCopyResult result = copy([](const LogCopyProgress& p) { return p.blocks < 3; });
    EXPECT_EQ(result.outcome, Outcome::Stopped);
    EXPECT_EQ(result.attempts, 1);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(onlyTargetInFolder());
    EXPECT_EQ(device.logStore()->state, 0);
    EXPECT_FALSE(device.logStore()->close(1)) << "the file was closed on the transmitter";
}

TEST_F(LogCopyOnSimulator, TargetThatIsNoRegularFileIsRefusedBeforeAnyExchange) {
    attach();
    fs::create_directory(target);
    EXPECT_EQ(copy().outcome, Outcome::TargetRefused);
    EXPECT_TRUE(fs::is_directory(target));
    target = folder / "missing" / "copy.bin";
    const LogCopyResult result = copy();
    EXPECT_EQ(result.outcome, Outcome::TargetRefused);
    EXPECT_EQ(result.failure, "folder " + (folder / "missing").string() + " does not exist");
    // A "folder" that is a file is named as the system names it.
    { std::ofstream{folder / "file"}; }
    target = folder / "file" / "copy.bin";
    EXPECT_EQ(copy().failure, "cannot write " + target.string() + ": Not a directory");
}

TEST(LogCopyProgressTest, RemainingTimeFollowsThePaceSoFar) {
    using namespace std::chrono;
    EXPECT_FALSE(RemainingCopyTime(seconds(1), 0, 10));
    EXPECT_EQ(RemainingCopyTime(seconds(2), 4, 10), seconds(3));
    EXPECT_EQ(RemainingCopyTime(seconds(2), 12, 10), seconds(0)) << "past the estimate";
}

}  // namespace
}  // namespace corvel
