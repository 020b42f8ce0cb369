// What the commands take from the replies: record offsets, text fields,
// status reported versus ignored, decoded always, and short replies.

#include <gtest/gtest.h>

#include <bit>
#include <clocale>

#include "tests/link/scripted_port.h"

namespace corvel::test {
namespace {

Bytes F32(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 24)};
}

// A class 4 record: status, accuracy, precision, unused, value, minimum, maximum.
Bytes MeasurementRecord(std::uint8_t status, std::int8_t accuracy, std::int8_t precision, float value,
                        float minimum = 0, float maximum = 0) {
    Bytes record = {status, static_cast<std::uint8_t>(accuracy), static_cast<std::uint8_t>(precision), 0};
    for (const float v : {value, minimum, maximum}) {
        const Bytes bytes = F32(v);
        record.insert(record.end(), bytes.begin(), bytes.end());
    }
    return record;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// ---- Measurements -------------------------------------------------------------------

TEST(ReadMeasurements, TemperatureRecordFollowsP1AtByte28) {
    SessionFixture f;
    Bytes payload = MeasurementRecord(0, 2, 3, 14.6959f);
    const Bytes temperature = MeasurementRecord(0, 1, 1, 23.4f);
    payload.insert(payload.end(), temperature.begin(), temperature.end());
    f.line.queueReplies({ReplyFrame(0, payload)});
    f.session.ReadMeasurements(ChannelMask{.p1 = true, .channel4 = true}, kRoute, MinMax::Without, 1, 1);
    EXPECT_EQ(f.only().readSizes.front(), 28u);
    EXPECT_EQ(f.session.p1.displayText, "      14.696");
    EXPECT_EQ(f.session.p1.fullPrecisionText, "   14.6958999634");
    EXPECT_EQ(f.session.temperature.displayText, "        23.4");
    EXPECT_EQ(f.session.lastReplyStatus, 0);
}

TEST(ReadMeasurements, DigitChoiceAndMinMaxTextsPerPressureInput) {
    SessionFixture f;
    Bytes payload = MeasurementRecord(16, 1, 4, 2.5f, -1.25f, 3.0f);
    const Bytes p2 = MeasurementRecord(0, 2, 0, 100.0f, 99.0f, 101.0f);
    payload.insert(payload.end(), p2.begin(), p2.end());
    f.line.queueReplies({ReplyFrame(0x13, payload)});
    f.session.ReadMeasurements(ChannelMask{.p1 = true, .p2 = true}, kRoute, MinMax::With, 0, 1);
    EXPECT_EQ(f.session.p1.displayText, "         2.5");  // accuracy digits: 1
    EXPECT_EQ(f.session.p1.minimumText, "        -1.2");
    EXPECT_EQ(f.session.p1.maximumText, "         3.0");
    EXPECT_EQ(f.session.p1.statusCode, 16);
    EXPECT_EQ(f.session.p2.displayText, "         100");  // precision digits: 0
    EXPECT_EQ(f.session.p2.minimumText, "          99");
    EXPECT_EQ(f.session.lastReplyStatus, 0x13);
    EXPECT_EQ(f.session.statusText, "") << "the channel commands leave the status to the caller";
}

TEST(ReadMeasurements, TemperatureWithoutDigitsShowsDashesAndPressureShowsSixDecimals) {
    SessionFixture f;
    Bytes payload = MeasurementRecord(0, -1, -1, 1.5f);
    const Bytes temperature = MeasurementRecord(0, 0, -1, 22.0f, 21.0f, 23.0f);
    payload.insert(payload.end(), temperature.begin(), temperature.end());
    f.line.queueReplies({ReplyFrame(0, payload)});
    f.session.ReadMeasurements(ChannelMask{.p1 = true, .channel4 = true}, kRoute, MinMax::With, 1, 1);
    EXPECT_EQ(f.session.temperature.displayText, "      ----------");
    EXPECT_EQ(f.session.temperature.minimumText, "      ----------");
    EXPECT_EQ(f.session.p1.displayText, "    1.500000");
}

TEST(ReadMeasurements, FailedExchangeKeepsThePreviousReading) {
    SessionFixture f;
    f.line.queueReplies({ReplyFrame(0, MeasurementRecord(0, 1, 1, 7.0f)), Bytes{}});
    f.session.ReadMeasurements(ChannelMask{.p1 = true}, kRoute, MinMax::Without, 1, 1);
    EXPECT_TRUE(f.session.lastExchangeSucceeded);
    f.session.ReadMeasurements(ChannelMask{.p1 = true}, kRoute, MinMax::Without, 1, 1);
    EXPECT_FALSE(f.session.lastExchangeSucceeded);
    EXPECT_EQ(f.session.p1.displayText, "         7.0");
    EXPECT_NE(f.session.statusText.find("SerialTransact failed with error"), std::string::npos);
}

TEST(ReadMeasurements, NumberTextsUseAFullStopUnderAGermanLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not available";
    SessionFixture f;
    f.line.queueReplies({ReplyFrame(0, MeasurementRecord(0, 2, 2, 1234.5f))});
    f.session.ReadMeasurements(ChannelMask{.p1 = true}, kRoute, MinMax::Without, 1, 1);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(f.session.p1.displayText, "     1234.50");
    EXPECT_EQ(f.session.p1.fullPrecisionText, " 1234.5000000000");
}

// ---- Units ------------------------------------------------------------------------

TEST(EngineeringUnits, RecordsInMaskOrderAndSelectedUnitCode) {
    SessionFixture f;
    Bytes payload = {0, 7, 0x11, 2, 3, 0, 'p', 's', 'i', 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes temperature = {0, 32, 0, 1, 1, 0, 'd', 'e', 'g', 'C', 'x', 'y', 'z', 'w', 0, 0, 0, 0};
    payload.insert(payload.end(), temperature.begin(), temperature.end());
    f.line.queueReplies({ReplyFrame(0, payload), ReplyFrame(0, payload)});
    EXPECT_TRUE(f.session.ReadEngineeringUnits(ChannelMask{.p1 = true, .channel4 = true}, kRoute));
    EXPECT_EQ(f.session.p1.unitName, "psi");
    EXPECT_EQ(f.session.p1.unitAttribute, 0x11);
    EXPECT_EQ(f.session.temperature.unitCode, 32);
    EXPECT_EQ(f.session.temperature.unitName, "degCxyzw") << "an 8-byte name without its zero ends at its field";
    EXPECT_EQ(f.shared.selectedUnitCode, 7);
    EXPECT_TRUE(f.session.WriteEngineeringUnits(ChannelMask{.p1 = true, .channel4 = true}, kRoute));
    EXPECT_EQ(f.session.p1.unitName, " psi");
}

TEST(SensorInfo, RecordThenUnitLookUp) {
    SessionFixture f;
    const Bytes info = ReplyWith(0, 30, {{14, {1}}, {16, {4}}, {18, F32(-14.7f)}, {22, F32(300.4f)}});
    Bytes unit(18, 0);
    unit[4] = 2;
    std::copy_n("inH2O", 5, unit.begin() + 6);
    const Bytes factor = F32(27.68f);
    std::copy(factor.begin(), factor.end(), unit.begin() + 14);
    f.line.queueReplies({info, ReplyFrame(0, unit)});
    f.shared.selectedUnitCode = 4;
    EXPECT_TRUE(f.session.ReadSensorInfoP1(kRoute));
    ASSERT_EQ(f.line.exchanges.size(), 2u);
    EXPECT_EQ(f.line.exchanges[1].request[12], 4) << "the unit code of the record is looked up";
    EXPECT_EQ(f.session.p1Sensor.label, "P1:  GI");
    EXPECT_EQ(f.session.p1Sensor.lowerLimitText, "-15");
    EXPECT_EQ(f.session.p1Sensor.upperLimitText, "300");
    EXPECT_EQ(f.session.p1Sensor.unitName, "inH2O");
    EXPECT_FLOAT_EQ(f.session.p1Sensor.conversionFactor, 27.68f);
    EXPECT_EQ(f.session.p1Sensor.unitDigits, 2);
}

TEST(SensorInfo, UnknownKindGivesAnEmptyLabelAndAFailedExchangeDecodesZeros) {
    SessionFixture f;
    f.session.p2Sensor.label = "old";
    f.line.queueReplies({ReplyWith(0, 30, {{14, {5}}})});
    EXPECT_TRUE(f.session.ReadSensorInfoP2(kRoute));
    EXPECT_EQ(f.session.p2Sensor.label, "");
    f.line.queueReplies({});
    f.session.p2Sensor.upperLimitText = "old";
    EXPECT_FALSE(f.session.ReadSensorInfoP2(kRoute));
    EXPECT_EQ(f.session.p2Sensor.upperLimitText, "0");
    EXPECT_EQ(f.session.p2Sensor.label, "P2:  AI");
}

// ---- Information records ------------------------------------------------------------

TEST(InformationRecords, IdentityTextsAreBoundedByTheirFields) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0x13, 40, {{14, Text("123456789012345")}, {42, Text("01.05")}})});
    EXPECT_TRUE(f.session.ReadIdentity(kRoute, 0x40)) << "status ignored";
    EXPECT_EQ(f.session.serialNumberText, "1234567890");
    EXPECT_EQ(f.session.versionText, "01.05");
}

TEST(InformationRecords, DescriptionEmptyWhenUnprogrammed) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 130, {{14, Text("Tank 7")}}), ReplyWith(0, 130, {{14, Text("abcde\xCCxyz")}}),
                         ReplyWith(0, 130, {{14, Text("abcdeyy")}}), ReplyWith(0, 130, {{14, Text("abcdey")}})});
    f.session.ReadDescription(kRoute, 0x40);
    EXPECT_EQ(f.session.descriptionText, "Tank 7");
    f.session.ReadDescription(kRoute, 0x40);
    EXPECT_EQ(f.session.descriptionText, "");
    f.session.ReadDescription(kRoute, 0x40);
    EXPECT_EQ(f.session.descriptionText, "");
    f.session.ReadDescription(kRoute, 0x40);
    EXPECT_EQ(f.session.descriptionText, "abcdey");
}

TEST(InformationRecords, TagWithoutTerminatingZeroStopsAtItsField) {
    SessionFixture f;
    const std::string tag(32, 'T');
    f.line.queueReplies({ReplyWith(0, 66, {{14, Text(tag)}, {46, Text("A-1")}}),
                         ReplyWith(0, 66, {{14, Text("abcde\xFF\xFF")}, {46, Text("abcde\xCC")}})});
    f.session.ReadTagAndAsset(kRoute, 0x40);
    EXPECT_EQ(f.session.tagText, tag);
    EXPECT_EQ(f.session.assetText, "A-1");
    f.session.ReadTagAndAsset(kRoute, 0x40);
    EXPECT_EQ(f.session.tagText, "");
    EXPECT_EQ(f.session.assetText, "");
}

TEST(InformationRecords, WriteTagAndAssetCutsAtThirtyTwoAndSendsUnprogrammedBytesAsZero) {
    SessionFixture f;
    f.line.queueReplies({ReplyFrame(0, {})});
    const std::string tag = std::string(38, 'x') + "YZ";
    EXPECT_TRUE(f.session.WriteTagAndAsset(kRoute, 0x41, tag, "a\xCC" "b"));
    const Bytes& r = f.only().request;
    ASSERT_EQ(r.size(), 84u);
    EXPECT_EQ(r[5], 2);
    EXPECT_EQ(r[6], 0x80);
    EXPECT_EQ(r[7], 0xC1);
    EXPECT_EQ(Bytes(r.begin() + 12, r.begin() + 14), (Bytes{0, 0}));
    EXPECT_EQ(Bytes(r.begin() + 14, r.begin() + 46), Bytes(32, 'x')) << "32 characters, no terminating zero";
    EXPECT_EQ(Bytes(r.begin() + 46, r.begin() + 50), (Bytes{'a', 0, 'b', 0}));
    EXPECT_EQ(r[83], 0x41) << "the module byte replaces route byte 5";
}

TEST(InformationRecords, WriteDescriptionPadsTo128Bytes) {
    SessionFixture f;
    f.line.queueReplies({ReplyFrame(0, {})});
    EXPECT_TRUE(f.session.WriteDescription(kRoute, 0x40, "Line 3"));
    const Bytes& r = f.only().request;
    ASSERT_EQ(r.size(), 148u);
    EXPECT_EQ(r[2], 130);
    EXPECT_EQ(Bytes(r.begin() + 14, r.begin() + 21), (Bytes{'L', 'i', 'n', 'e', ' ', '3', 0}));
    EXPECT_EQ(f.only().readSizes.front(), 148u);
}

TEST(InformationRecords, ManufacturingRecordAndLimitsGoToTheSharedValues) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 100, {{48, Text("MFG 2026")}}), ReplyWith(0, 100, {{92, F32(-15.0f)}, {96, F32(1000.0f)}})});
    EXPECT_TRUE(f.session.ReadManufacturingRecord(RouteBlock{1, 0x80, 0x80, 0x2D, 0xF0, 0x40}, 0x40));
    EXPECT_EQ(f.session.manufacturingRecordText, "MFG 2026");
    EXPECT_EQ(f.shared.networkAddress, 0x2D);
    EXPECT_TRUE(f.session.ReadManufacturingLimits(kRoute));
    EXPECT_FLOAT_EQ(f.shared.lowerSensorLimit, -15.0f);
    EXPECT_FLOAT_EQ(f.shared.upperSensorLimit, 1000.0f);
}

// ---- Status reported, ignored and decoded always -------------------------------------

TEST(ReplyStatus, ReportedStatusFailsWithItsTextAndStillDecodes) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0x13, 14, {{20, {0x5A}}})});
    EXPECT_FALSE(f.session.ReadMemoryByte(kRoute, 0x2811));
    EXPECT_EQ(f.session.statusText, "Command 1 not supported in current mode");
    EXPECT_EQ(f.session.memory.singleByteResult, 0x5A);
}

TEST(ReplyStatus, RecalibrationCodesAreLeftToTheCaller) {
    SessionFixture f;
    f.session.statusText = "before";
    f.line.queueReplies({ReplyWith(0x41, 28, {{12, {3}}, {16, {1}}, {17, {4}}, {18, F32(10.0f)}, {22, F32(-1.0f)}})});
    EXPECT_TRUE(f.session.StartRecalibration(kRoute));
    EXPECT_EQ(f.session.lastReplyStatus, 0x41);
    EXPECT_EQ(f.session.statusText, "before");
    EXPECT_EQ(f.session.recalibration.applyValueText, "  10.00000");
    EXPECT_EQ(f.session.recalibration.minimumValueText, "  -1.00000");
    EXPECT_EQ(f.session.recalibration.numberOfPoints, 4);
    EXPECT_EQ(f.session.p1.statusCode, 3);
}

TEST(ReplyStatus, SavedPointKeepsTheOperatorsApplyValue) {
    SessionFixture f;
    f.session.recalibration.applyValueText = "12.5";
    f.line.queueReplies({ReplyWith(0, 28, {{14, {7}}, {15, {8}}, {18, F32(99.0f)}})});
    EXPECT_TRUE(f.session.SaveCalibrationPoint(kRoute));
    EXPECT_EQ(f.only().request.size(), 26u);
    EXPECT_EQ(f.session.recalibration.applyValueText, "12.5");
    EXPECT_EQ(f.session.recalibration.fifthValueText, "  99.00000");
    EXPECT_EQ(f.session.recalibration.recalContext1, 7);
    EXPECT_EQ(f.session.recalibration.recalContext2, 8);
}

TEST(ReplyStatus, DecodedAlwaysReadsZerosAfterAFailedExchange) {
    SessionFixture f;
    f.session.memory.modelCodeText = "old";
    f.session.memory.lowerRangeValue = 5.0f;
    f.session.p1.precisionDigits = 2;
    f.line.queueReplies({});
    EXPECT_FALSE(f.session.ReadDeviceStrings(kRoute, 0x28));
    EXPECT_EQ(f.session.memory.modelCodeText, "");
    EXPECT_FALSE(f.session.ReadLowerRangeValue(kRoute));
    EXPECT_EQ(f.session.memory.lowerRangeValue, 0.0f);
    EXPECT_EQ(f.session.memory.lowerRangeText, "0.00");
}

TEST(ReplyStatus, ShortRepliesNeverReadPastTheReceivedFrame) {
    SessionFixture f;
    // 12 bytes that announce no payload: every text and number lies beyond them.
    f.line.responder = [](const std::string&, const Bytes&) { return Bytes{0x80, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}; };
    EXPECT_TRUE(f.session.ReadDeviceStrings(kRoute, 0x28));
    EXPECT_EQ(f.session.memory.thirdIdLength, 0);
    EXPECT_TRUE(f.session.ReadMemoryBlock(kRoute, 0));
    EXPECT_TRUE(f.session.ReadIdentity(kRoute, 0x40));
    EXPECT_EQ(f.session.versionText, "");
    EXPECT_EQ(f.session.ReadLogDirectory(kRoute, 1), "");
}

TEST(ReplyStatus, IdentificationTextsWithoutZerosStopAtTheirFields) {
    SessionFixture f;
    Bytes block(119, 'M');
    f.line.queueReplies({ReplyWith(0, 127, {{20, block}})});
    EXPECT_TRUE(f.session.ReadDeviceStrings(kRoute, 0x28));
    EXPECT_EQ(f.session.memory.modelCodeText, std::string(8, 'M'));
    EXPECT_EQ(f.session.memory.modelNameText, std::string(64, 'M'));
    EXPECT_EQ(f.session.memory.thirdIdText, std::string(47, 'M'));
    EXPECT_EQ(f.session.memory.thirdIdLength, 47);
}

// ---- Memory map ----------------------------------------------------------------------

TEST(MemoryMap, FirmwareVersionWithIndividualStatus) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 14, {{12, {1}}, {20, Text("01.23X")}})});
    EXPECT_FALSE(f.session.ReadFirmwareVersion(kRoute));
    EXPECT_EQ(f.session.individualStatusText, "Individual status not yet implemented");
    EXPECT_EQ(f.session.memory.firmwareVersionText, "01.23");
}

TEST(MemoryMap, DampingTimeReadAndWriteBack) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0, 14, {{20, F32(2.25f)}}), ReplyFrame(0, {})});
    EXPECT_TRUE(f.session.ReadDampingTimeP2(kRoute));
    EXPECT_EQ(f.session.memory.dampingTextP2, "2.2");
    f.session.memory.dampingTextP2 = " 3.75s";
    EXPECT_TRUE(f.session.WriteDampingTimeP2(kRoute));
    EXPECT_FLOAT_EQ(f.session.memory.dampingTimeP2, 3.75f);
}

TEST(MemoryMap, NetworkAddressOutsideTheRangeSendsNothing) {
    SessionFixture f;
    EXPECT_FALSE(f.session.WriteNetworkAddress(kRoute, 255, 0x28));
    EXPECT_FALSE(f.session.WriteNetworkAddress(kRoute, 0, 0x28));
    EXPECT_TRUE(f.line.exchanges.empty());
    EXPECT_EQ(f.notifier.messages,
              (std::vector<std::string>{"Valid Network Address range is 1 - 254", "Valid Network Address range is 1 - 254"}));
    EXPECT_FALSE(f.store.contains(key::kCommBoardAddress));
    EXPECT_EQ(f.session.discovery.newNetworkAddress, 0);
}

TEST(MemoryMap, NetworkAddressWriteThenEmptyCommandToTheKeptAddress) {
    SessionFixture f;
    f.session.discovery.currentNetworkAddress = 40;
    f.session.discovery.foundModuleNumber = 0x28;
    f.line.queueReplies({ReplyFrame(0, {}), ReplyFrame(0, {})});
    EXPECT_TRUE(f.session.WriteNetworkAddress(kRoute, 254, 0x28));
    ASSERT_EQ(f.line.exchanges.size(), 2u);
    const Bytes& write = f.line.exchanges[0].request;
    EXPECT_EQ(Bytes(write.begin() + 12, write.begin() + 19), (Bytes{1, 0, 0x01, 0x08, 0, 0, 0xFE}));
    EXPECT_EQ(Bytes(write.begin() + 19, write.end()), (Bytes{kRoute[0], kRoute[1], kRoute[2], kRoute[3], 0xF0, 0x28}));
    EXPECT_EQ(f.line.exchanges[0].readSizes.front(), 154u);
    EXPECT_EQ(f.line.exchanges[1].request[5], 0);
    EXPECT_EQ(f.line.exchanges[1].request[15], 40);
    EXPECT_EQ(f.store.read(key::kCommBoardAddress, ""), "254");
}

TEST(MemoryMap, RejectedNetworkAddressIsAFailureButStillKept) {
    SessionFixture f;
    f.line.queueReplies({ReplyFrame(0x11, {}), ReplyFrame(0, {})});
    EXPECT_FALSE(f.session.WriteNetworkAddress(kRoute, 12, 0x28));
    EXPECT_EQ(f.session.statusText, "Command 2 not supported or invalid");
    EXPECT_EQ(f.store.read(key::kCommBoardAddress, ""), "12");
}

TEST(OutputKind, StoredEvenWhenTheStatusIsNotZero) {
    SessionFixture f;
    f.line.queueReplies({ReplyWith(0xF3, 4, {{14, {0x40}}})});
    EXPECT_FALSE(f.session.ReadOutputKind(kRoute));
    EXPECT_EQ(f.session.memory.singleByteResult, 0x40);
    EXPECT_EQ(f.session.statusText, "Memory map blank / not loaded");
}

TEST(SensorRange, BothRecordsStored) {
    SessionFixture f;
    Bytes payload = {1, 2, 3, 1};
    const Bytes a = F32(0.5f);
    payload.insert(payload.end(), a.begin(), a.end());
    payload.insert(payload.end(), {4, 5, 6, 0});
    const Bytes b = F32(2.0f);
    payload.insert(payload.end(), b.begin(), b.end());
    f.line.queueReplies({ReplyFrame(16, payload)});
    EXPECT_TRUE(f.session.ReadSensorRange(ChannelMask{.p1 = true, .p2 = true}, kRoute));
    EXPECT_EQ(f.session.sensorRangeStatus, 16);
    EXPECT_EQ(f.session.p1Range.bytes[3], 1);
    EXPECT_FLOAT_EQ(f.session.p1Range.value, 0.5f);
    EXPECT_EQ(f.session.p2Range.bytes[0], 4);
    EXPECT_FLOAT_EQ(f.session.p2Range.value, 2.0f);
}

TEST(ZeroChannels, OneStatusBytePerChannelInMaskOrder) {
    SessionFixture f;
    f.line.queueReplies({ReplyFrame(0x41, {5, 6})});
    f.session.ZeroChannels(ChannelMask{.p1 = true, .channel4 = true}, kRoute);
    EXPECT_EQ(f.session.lastReplyStatus, 0x41);
    EXPECT_EQ(f.session.p1.statusCode, 5);
    EXPECT_EQ(f.session.temperature.statusCode, 6);
}

}  // namespace
}  // namespace corvel::test
