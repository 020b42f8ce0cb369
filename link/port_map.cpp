#include "link/port_map.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/number_format.h"
#include "link/port_names.h"

namespace corvel {
namespace {

constexpr int kOnBoardPorts = 4;  // COM1..COM4 are ttyS0..ttyS3
// The number in a device or COM name: no sign, no leading zero.
constexpr NumberRules<int> kNameNumber{.minus = false, .leadingZero = false};

// Numbers of the devices "<prefix><number>" among `deviceNames`, ascending.
std::vector<int> NumberedDevices(const std::vector<std::string>& deviceNames, std::string_view prefix) {
    std::vector<int> numbers;
    for (const std::string& name : deviceNames) {
        if (!std::string_view(name).starts_with(prefix)) continue;
        const std::string_view suffix = std::string_view(name).substr(prefix.size());
        if (const auto number = ParseWholeText<int>(suffix, kNameNumber)) numbers.push_back(*number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

void AppendAdapters(std::vector<std::string>& devices, const std::vector<std::string>& deviceNames,
                    std::string_view prefix) {
    for (int number : NumberedDevices(deviceNames, prefix)) {
        if (devices.size() >= static_cast<std::size_t>(kLastPort)) return;
        devices.push_back("/dev/" + std::string(prefix) + std::to_string(number));
    }
}

// The names in `folder`, dangling links included; none when it cannot be read.
std::vector<std::string> EntryNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace

int ComNumberOf(std::string_view portName) {
    constexpr std::string_view kNamespace = "\\\\.\\";
    if (portName.starts_with(kNamespace)) portName.remove_prefix(kNamespace.size());
    if (!portName.starts_with("COM")) return 0;
    const auto number = ParseWholeText<int>(portName.substr(3), kNameNumber);
    return number && *number >= kFirstPort && *number <= kLastPort ? *number : 0;
}

std::vector<std::string> DefaultComDevices(const std::vector<std::string>& deviceNames) {
    std::vector<std::string> devices;
    for (int i = 0; i < kOnBoardPorts; ++i) devices.push_back("/dev/ttyS" + std::to_string(i));
    AppendAdapters(devices, deviceNames, "ttyUSB");
    AppendAdapters(devices, deviceNames, "ttyACM");
    return devices;
}

std::string DevicePathOf(std::string_view portName, const PortMapEnvironment& environment) {
    const int number = ComNumberOf(portName);
    if (number == 0) return std::string(portName);
    const std::string entry = "COM" + std::to_string(number);
    const auto& entries = environment.overrideEntries;
    const bool inFolder = std::find(entries.begin(), entries.end(), entry) != entries.end();
    if (!environment.overrideDirectory.empty() && (inFolder || environment.overrideOnly))
        return (std::filesystem::path(environment.overrideDirectory) / entry).string();
    const std::vector<std::string> devices = DefaultComDevices(environment.deviceNames);
    return static_cast<std::size_t>(number) <= devices.size() ? devices[number - 1] : std::string();
}

int FirstComNumberWithoutDevice(const PortMapEnvironment& environment,
                                const std::function<bool(const std::string&)>& exists) {
    for (int number = kFirstPort; number <= kLastPort; ++number) {
        const std::string path = DevicePathOf("COM" + std::to_string(number), environment);
        if (path.empty() || !exists(path)) return number;
    }
    return 0;
}

PortMapEnvironment CurrentPortMapEnvironment() {
    PortMapEnvironment environment;
    if (const char* directory = std::getenv(std::string(kPortDirVariable).c_str()); directory && *directory) {
        environment.overrideDirectory = directory;
        environment.overrideEntries = EntryNames(directory);
        const char* only = std::getenv(std::string(kPortDirOnlyVariable).c_str());
        environment.overrideOnly = only && std::string_view(only) == "1";
    }
    environment.deviceNames = EntryNames("/dev");
    return environment;
}

}  // namespace corvel
