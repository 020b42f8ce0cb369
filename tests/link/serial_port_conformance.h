#pragma once
// What every SerialPort must do, as typed tests. A transport instantiates the
// suite with a harness type that provides:
//
//   std::unique_ptr<SerialPort> makePort();          a new, closed port
//   std::string portName() const;                    a port with a device behind it
//   std::string missingPortName() const;             a port that does not exist
//   void peerWrite(ByteSpan bytes);                  the device sends bytes
//   std::vector<std::uint8_t> peerRead(std::size_t count);  what the device got
//                                                    (waits a bounded time)
//
// and may provide, to skip with a stated reason where the transport cannot
// be tested here (an empty text runs the test):
//
//   std::string skipReason() const;                  the whole suite
//   std::string exclusiveOpenSkipReason() const;     the one-opener case
//
//   using MyPorts = ::testing::Types<MyHarness>;
//   INSTANTIATE_TYPED_TEST_SUITE_P(My, SerialPortConformance, MyPorts);

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace corvel::test {

template <typename Harness>
class SerialPortConformance : public ::testing::Test {
protected:
    // A total time-out long enough that ending a read on it is unmistakable.
    static constexpr std::chrono::seconds kLongWait{20};

    std::unique_ptr<SerialPort> openPort(const PortTimeouts& timeouts = {}) {
        auto port = harness.makePort();
        EXPECT_TRUE(port->open(harness.portName())) << port->lastError().text;
        EXPECT_TRUE(port->configure(156, LineSettings{}, timeouts)) << port->lastError().text;
        return port;
    }

    static PortTimeouts LongTimeouts(std::uint32_t intervalMs) {
        const auto longWait = static_cast<std::uint32_t>(std::chrono::milliseconds(kLongWait).count());
        return {intervalMs, 0, longWait, 10, 50};
    }

    void SetUp() override {
        if constexpr (requires { harness.skipReason(); }) {
            if (const std::string reason = harness.skipReason(); !reason.empty()) GTEST_SKIP() << reason;
        }
    }

    Harness harness;
};

TYPED_TEST_SUITE_P(SerialPortConformance);

TYPED_TEST_P(SerialPortConformance, MissingPortFailsWithTheSystemError) {
    auto port = this->harness.makePort();
    EXPECT_FALSE(port->open(this->harness.missingPortName()));
    EXPECT_NE(port->lastError().code, 0);
    EXPECT_FALSE(port->lastError().text.empty());
}

TYPED_TEST_P(SerialPortConformance, OnlyOneOpenerAtATimeAndFreeAgainAfterClose) {
    if constexpr (requires { this->harness.exclusiveOpenSkipReason(); }) {
        if (const std::string reason = this->harness.exclusiveOpenSkipReason(); !reason.empty()) GTEST_SKIP() << reason;
    }
    auto holder = this->openPort();
    auto second = this->harness.makePort();
    EXPECT_FALSE(second->open(this->harness.portName()));
    EXPECT_NE(second->lastError().code, 0);
    holder->close();
    EXPECT_TRUE(second->open(this->harness.portName())) << second->lastError().text;
}

TYPED_TEST_P(SerialPortConformance, BytesTravelBothWaysUnchanged) {
    auto port = this->openPort();
    // Every byte value, including those a terminal would translate or swallow.
    std::vector<std::uint8_t> all(256);
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i);
    std::size_t written = 0;
    ASSERT_TRUE(port->write(all, written));
    EXPECT_EQ(written, all.size());
    EXPECT_EQ(this->harness.peerRead(all.size()), all);

    this->harness.peerWrite(all);
    std::vector<std::uint8_t> got(all.size());
    std::size_t received = 0;
    std::size_t total = 0;
    while (total < got.size()) {  // a read may end on the interval before all have come
        ASSERT_TRUE(port->read(MutableByteSpan(got).subspan(total), received, {}));
        ASSERT_GT(received, 0u);
        total += received;
    }
    EXPECT_EQ(got, all);
}

TYPED_TEST_P(SerialPortConformance, SilentLineTimesOutWithNothingAndTellsWhy) {
    auto port = this->openPort({20, 0, 30, 10, 50});
    std::vector<std::uint8_t> buffer(12);
    std::size_t received = 99;
    EXPECT_TRUE(port->read(buffer, received, {}));
    EXPECT_EQ(received, 0u);
    EXPECT_NE(port->lastError().code, 0);
    EXPECT_FALSE(port->lastError().text.empty());
}

TYPED_TEST_P(SerialPortConformance, FewerBytesThanAskedEndOnTheIntervalTimeout) {
    auto port = this->openPort(TestFixture::LongTimeouts(20));
    const std::vector<std::uint8_t> sent{1, 2, 3};
    this->harness.peerWrite(sent);
    std::vector<std::uint8_t> buffer(10);
    std::size_t received = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port->read(buffer, received, {}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, TestFixture::kLongWait);
    ASSERT_EQ(received, 3u);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 3), sent);
}

TYPED_TEST_P(SerialPortConformance, CompletionEndsTheReadWithoutWaiting) {
    auto port = this->openPort(TestFixture::LongTimeouts(static_cast<std::uint32_t>(
        std::chrono::milliseconds(TestFixture::kLongWait).count())));
    this->harness.peerWrite(std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    std::vector<std::uint8_t> buffer(100);
    std::size_t received = 0;
    const auto fiveBytes = [](ByteSpan got) { return got.size() >= 5; };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port->read(buffer, received, fiveBytes));
    EXPECT_LT(std::chrono::steady_clock::now() - start, TestFixture::kLongWait);
    EXPECT_EQ(received, 5u);
    // A completion that needs nothing more ends the read before any wait.
    EXPECT_TRUE(port->read(buffer, received, [](ByteSpan) { return true; }));
    EXPECT_EQ(received, 0u);
}

REGISTER_TYPED_TEST_SUITE_P(SerialPortConformance, MissingPortFailsWithTheSystemError,
                            OnlyOneOpenerAtATimeAndFreeAgainAfterClose, BytesTravelBothWaysUnchanged,
                            SilentLineTimesOutWithNothingAndTellsWhy, FewerBytesThanAskedEndOnTheIntervalTimeout,
                            CompletionEndsTheReadWithoutWaiting);

}  // namespace corvel::test
