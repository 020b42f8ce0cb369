#include "config/alarm_block.h"

#include "common/bytes.h"
#include "common/number_format.h"
#include "link/device_addresses.h"

namespace corvel {

AlarmBlockHead DecodeAlarmBlockHead(const AlarmBlockBytes& block) {
    return AlarmBlockHead{U8At(block, alarm_block::kTransfer), F32At(block, alarm_block::kMinimumSpanFraction),
                          U8At(block, alarm_block::kTransmitterAlarm)};
}

std::array<AlarmSettings, 2> DecodeAlarms(const AlarmBlockBytes& block) {
    std::array<AlarmSettings, 2> alarms;
    for (std::size_t i = 0; i < 2; ++i) {
        const std::uint32_t at = alarm_block::kAlarm[i] - alarm_block::kAlarm[0];
        AlarmSettings& alarm = alarms[i];
        alarm.state = U8At(block, at + alarm_block::kState);
        alarm.condition = ConditionPosition(U8At(block, at + alarm_block::kCondition));
        alarm.value1 = F32At(block, at + alarm_block::kValue1);
        alarm.value2 = F32At(block, at + alarm_block::kValue2);
        alarm.deadband = F32At(block, at + alarm_block::kDeadband);
    }
    return alarms;
}

std::uint32_t OutputLevelAtLrvAddress(OutputType output) {
    return output == OutputType::Volts ? address::kVoltsAtLrv : address::kCurrentAtLrv;
}

std::uint32_t OutputLevelAtUrvAddress(OutputType output) {
    return output == OutputType::Volts ? address::kVoltsAtUrv : address::kCurrentAtUrv;
}

float AsShown(float value, int decimals) { return static_cast<float>(ParseDecimal(FormatFixed(value, 1, decimals))); }

}  // namespace corvel
