#include "sim/device_config.h"

#include <cctype>

namespace corvel::sim {
namespace {

DeviceConfig SingleInput(std::string code, std::string name) {
    DeviceConfig config;
    config.modelCode = std::move(code);
    config.modelName = std::move(name);
    config.hasP2 = false;
    return config;
}

DeviceConfig TwoModule(std::string code, std::string name, bool dualInput) {
    DeviceConfig config;
    config.modelCode = std::move(code);
    config.modelName = std::move(name);
    config.hasP2 = dualInput;
    config.hasSecondModule = true;
    config.hasLogStore = true;
    config.logs = {PressureLogDescription("LOG00001.BIN", 40, 100), PressureLogDescription("LOG00002.BIN", 5, 500)};
    return config;
}

}  // namespace

std::vector<std::string> ModelCodes() { return {"4400", "4402", "440D", "Q710", "Q712"}; }

std::optional<DeviceConfig> ModelConfig(std::string_view code) {
    std::string modelCode(code);
    for (char& c : modelCode) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (modelCode == "4400") return SingleInput("4400", "T4400 Pressure");
    if (modelCode == "4402") return DeviceConfig{};
    if (modelCode == "440D") {
        DeviceConfig config = SingleInput("440D", "T4400 Analog Output");
        config.hasOutputModule = true;
        return config;
    }
    if (modelCode == "Q710") return TwoModule("Q710", "Q710 Logger", false);
    if (modelCode == "Q712") return TwoModule("Q712", "Q712 Dual Logger", true);
    return std::nullopt;
}

}  // namespace corvel::sim
