// Zero, restore and the multi-point recalibration as the calibration window
// drives them: context bytes at reply bytes 14/15, point data from byte 16.
#include <gtest/gtest.h>

#include "common/bytes.h"
#include "tests/sim/exchange.h"

namespace corvel::sim::test {
namespace {

constexpr int kCom = 1;

class Recal : public ::testing::Test {
protected:
    void SetUp() override {
        DeviceConfig config = *ModelConfig("4402");
        config.p1.behaviour = {0.5f, 0.0f, 0.0f};
        device = &bus.attach(kCom, config);
    }
    Bytes send(std::uint8_t command2, const Bytes& payload = {}) {
        return Transact(bus, kCom, {.command1 = 6, .command2 = command2, .payload = payload, .route = RouteTo(40)});
    }
    Bytes save(std::uint8_t point, float applied, std::uint8_t marker = 2) {
        Bytes payload = Payload({0, 0, point, marker, 0, 0, 0, 0});
        PutF32(payload, 4, applied);
        return send(0x14, payload);
    }
    float reading() {
        return F32At(Transact(bus, kCom, {.command1 = 4, .command2 = 0x10, .route = RouteTo(40)}), 16);
    }

    InProcessBus bus;
    SimDevice* device = nullptr;
};

TEST_F(Recal, FullProcedureFitsTheSavedPoints) {
    const Bytes start = send(0x13, Payload({0, 0}));
    ASSERT_EQ(start.size(), 40u);
    EXPECT_EQ(start[8], 0);
    EXPECT_EQ(start[16], 1);  // current point
    EXPECT_EQ(start[17], 3);  // number of points
    EXPECT_FLOAT_EQ(F32At(start, 18), 0.0f);
    EXPECT_FLOAT_EQ(F32At(start, 22), -10.0f);
    EXPECT_FLOAT_EQ(F32At(start, 26), 10.0f);

    // The gauge reads 2 % high: each applied pressure is 1/1.02 of the reading.
    for (std::uint8_t point = 1; point <= 3; ++point) {
        const Bytes next = send(0x15, Payload({0, 0, point, 3}));
        ASSERT_EQ(next[8], 0) << int(point);
        const float apply = F32At(next, 18);
        device->live(Channel::P1).behaviour().value = apply * 1.02f;
        const Bytes saved = save(point, apply);
        ASSERT_EQ(saved[8], 0) << int(point);
        EXPECT_EQ(saved[12], 0);
        EXPECT_EQ(saved[16], point < 3 ? point + 1 : 3);
    }
    const Bytes finish = send(0x16, Payload({0, 0, 1, 1}));
    EXPECT_EQ(finish[8], 0);
    device->live(Channel::P1).behaviour().value = 51.0f;
    EXPECT_NEAR(reading(), 50.0f, 1e-3);

    // Restoring the factory calibration undoes it.
    EXPECT_EQ(send(0x11)[12], 0);
    EXPECT_NEAR(reading(), 51.0f, 1e-3);
}

TEST_F(Recal, RequestsOutOfSequenceOrRangeAreRefused) {
    EXPECT_EQ(send(0x15, Payload({0, 0, 1, 3}))[8], kRecalOutOfSequence);
    EXPECT_EQ(save(1, 0.0f)[8], kRecalOutOfSequence);
    send(0x13, Payload({0, 0}));
    EXPECT_EQ(send(0x15, Payload({0, 0, 4, 3}))[8], kRecalPointError);
    EXPECT_EQ(send(0x15, Payload({0, 0, 1, 5}))[8], kRecalScriptError);
    EXPECT_EQ(save(2, 50.0f)[8], kRecalPointError);
    EXPECT_EQ(save(1, 0.0f, 7)[8], kRecalScriptError);
    EXPECT_EQ(save(1, 30.0f)[8], kRecalPointOutOfRange);
    const Bytes beyond = save(1, 500.0f);
    EXPECT_EQ(beyond[8], kRecalPointBeyondLimit);
    EXPECT_EQ(beyond[12], kRecalPointBeyondLimit);  // also the P1 status code
    EXPECT_EQ(send(0x16, Payload({0, 0, 1, 1}))[8], kRecalOutOfSequence);  // points missing
    EXPECT_EQ(send(0x83, Payload({0, 0}))[8], kRecalNotAllowed);  // temperature
}

TEST_F(Recal, ZeroRefusesFarFromZeroAndOtherwiseZeroes) {
    const Bytes zeroed = send(0x90);  // P1 and temperature, as the output window sends it
    EXPECT_EQ(zeroed.size(), 20u);
    EXPECT_EQ(zeroed[8], 0);
    EXPECT_NEAR(reading(), 0.0f, 1e-5);
    device->live(Channel::P1).behaviour().value = 40.0f;
    const Bytes refused = send(0x10);
    EXPECT_EQ(refused[8], kRecalTooFarFromZero);
    EXPECT_EQ(refused[12], kRecalTooFarFromZero);
}

TEST_F(Recal, NotAllowedWhenTheDeviceRefusesRecalibration) {
    device->recalibration(Channel::P1).setup().allowed = false;
    EXPECT_EQ(send(0x13, Payload({0, 0}))[8], kRecalNotAllowed);
}

}  // namespace
}  // namespace corvel::sim::test
